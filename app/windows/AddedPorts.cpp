#include "app/windows/AddedPorts.h"

#include <algorithm>

#include "framework/win32/Win32Api.h"

namespace app {

std::unique_ptr<device::PortMap> AddedPorts::Open() {
    std::unique_ptr<device::PortMap> map = m_machine.Open();
    if (map == nullptr) return nullptr;
    std::vector<device::PortValue> values;
    device::PortValue value;
    for (int i = 0;; ++i) {
        const device::ReadStatus status = map->ReadValue(i, value);
        if (status == device::ReadStatus::Failed) return nullptr;
        if (status == device::ReadStatus::NoMoreItems) break;
        values.push_back(value);
    }
    for (const std::string& port : m_ports) {
        const bool known = std::any_of(values.begin(), values.end(), [&](const auto& v) {
            return _stricmp(v.data.c_str(), port.c_str()) == 0;
        });
        if (!known) values.push_back({port, port});
    }
    return std::make_unique<device::ListPortMap>(std::move(values));
}

}  // namespace app
