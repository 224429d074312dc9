#include "framework/CommandTarget.h"

namespace framework {

int CommandTarget::Release() {
    // A release beyond the last reference is ignored rather than deleting twice.
    if (m_refCount <= 0) return 0;
    const int left = --m_refCount;
    if (left == 0) OnFinalRelease();
    return left;
}

void CommandTarget::OnFinalRelease() {
    delete this;
}

}  // namespace framework
