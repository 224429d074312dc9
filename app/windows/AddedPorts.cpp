#include "app/windows/AddedPorts.h"

#include <algorithm>
#include <cstdlib>

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
    for (const device::PortValue& port : m_ports) {
        const bool known = std::any_of(values.begin(), values.end(), [&](const auto& v) {
            return _stricmp(v.data.c_str(), port.data.c_str()) == 0;
        });
        if (!known) values.push_back(port);
    }
    return std::make_unique<device::ListPortMap>(std::move(values));
}

int AddedPorts::FreeComNumber(device::PortSource& machine) {
    std::unique_ptr<device::PortMap> map = machine.Open();
    if (map == nullptr) return 0;
    std::vector<int> used;
    device::PortValue value;
    for (int i = 0; map->ReadValue(i, value) == device::ReadStatus::Value; ++i) {
        if (value.data.size() > 3 && _strnicmp(value.data.c_str(), "COM", 3) == 0)
            used.push_back(std::atoi(value.data.c_str() + 3));
    }
    int number = 1;
    while (std::find(used.begin(), used.end(), number) != used.end())
        ++number;
    return number;
}

}  // namespace app
