#include "device/PortSource.h"

#include <map>
#include <mutex>

namespace device {
namespace {

std::mutex g_lock;
std::vector<std::string> g_extraPorts;
std::map<std::string, std::string> g_portNotes;

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

void SetPortNote(const std::string& name, std::string note) {
    const std::lock_guard guard(g_lock);
    if (note.empty()) {
        g_portNotes.erase(name);
    } else {
        g_portNotes[name] = std::move(note);
    }
}

std::string GetPortNote(const std::string& name) {
    const std::lock_guard guard(g_lock);
    const auto found = g_portNotes.find(name);
    return found == g_portNotes.end() ? std::string() : found->second;
}

PortSource& CurrentPortSource() {
    PortSource* replacement = ScopedPortSource::Current();
    return replacement ? *replacement : SystemPortSource();
}

}  // namespace device
