#pragma once

#include <memory>
#include <string>
#include <vector>

#include "device/PortSource.h"
#include "device/linux/SerialOsLinux.h"

namespace device {

// The port map of a Linux machine: the extra ports first, then every tty of the sysfs class
// folder that has a device behind it (ttyS* only with a real UART), in natural order. Each is
// numbered COM1, COM2, ... in that order; a node listed twice keeps its first number.
// Nothing is opened except, where sysfs does not tell the UART type, a read-only probe of a
// ttyS node.
class PortSourceLinux final : public PortSource {
public:
    explicit PortSourceLinux(std::string sysClassTty = "/sys/class/tty",
                             std::string devDir = "/dev", SerialOsLinux& os = RealSerialOs());

    std::unique_ptr<PortMap> Open() override;

    // The device nodes of the machine's serial devices, in natural order.
    std::vector<std::string> ScanDevices() const;

private:
    bool HasUart(const std::string& entry, const std::string& node) const;

    std::string m_sysClassTty;
    std::string m_devDir;
    SerialOsLinux& m_os;
};

}  // namespace device
