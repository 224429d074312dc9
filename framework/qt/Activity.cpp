#include "framework/qt/Activity.h"

#include <QTimer>

namespace framework::qt {
namespace {

// How often pending work looks again while the thread stays busy.
constexpr int kRecheckMs = 20;

}  // namespace

void Activity::RunWhenIdle(std::function<void()> work) {
    m_pending.push_back(std::move(work));
    if (!m_scheduled) Schedule(0);
}

void Activity::Schedule(int delayMs) {
    m_scheduled = true;
    QTimer::singleShot(delayMs, &m_timerContext, [this] { RunPending(); });
}

void Activity::RunPending() {
    m_scheduled = false;
    if (IsBusy()) {
        if (!m_pending.empty()) Schedule(kRecheckMs);
        return;
    }
    // Work may queue more work; that runs on a later turn of the loop.
    std::vector<std::function<void()>> now;
    now.swap(m_pending);
    for (auto& work : now) {
        Scope busy(*this);
        work();
    }
}

}  // namespace framework::qt
