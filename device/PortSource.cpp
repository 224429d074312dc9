#include "device/PortSource.h"

#include <mutex>

namespace device {
namespace {

std::mutex g_lock;
std::vector<std::string> g_extraPorts;

}  // namespace

ReadStatus ListPortMap::ReadValue(int index, PortValue& value) {
    if (index == m_failAt) return ReadStatus::Failed;
    if (index < 0 || static_cast<std::size_t>(index) >= m_values.size()) {
        return ReadStatus::NoMoreItems;
    }
    value = m_values[static_cast<std::size_t>(index)];
    return ReadStatus::Value;
}

void SetExtraPorts(std::vector<std::string> paths) {
    const std::lock_guard guard(g_lock);
    g_extraPorts = std::move(paths);
}

std::vector<std::string> GetExtraPorts() {
    const std::lock_guard guard(g_lock);
    return g_extraPorts;
}

PortSource& CurrentPortSource() {
    PortSource* replacement = ScopedPortSource::Current();
    return replacement ? *replacement : SystemPortSource();
}

}  // namespace device
