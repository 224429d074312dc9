#pragma once

// The machine's port map, and after it the ports named on the command line (--port COM3) that
// the map lacks, so that the wizard can try a port that the system does not list, and the
// built-in simulator's port. Rows of step 1 go by COM number, so where a port stands in the
// map does not matter.
//   app::AddedPorts source({{"COM3", "COM3"}}, device::SystemPortSource());
//   device::ScopedPortSource use(source);

#include <memory>
#include <string>
#include <vector>

#include "device/PortSource.h"

namespace app {

class AddedPorts final : public device::PortSource {
public:
    // ports: (name, COM name) as a map value has them.
    AddedPorts(std::vector<device::PortValue> ports, device::PortSource& machine)
        : m_ports(std::move(ports)), m_machine(machine) {}
    // Null when the machine's map cannot be read, as without added ports.
    std::unique_ptr<device::PortMap> Open() override;

    // The lowest COM number that the machine's map does not use; 0 when it cannot be read.
    static int FreeComNumber(device::PortSource& machine);

private:
    std::vector<device::PortValue> m_ports;
    device::PortSource& m_machine;
};

}  // namespace app
