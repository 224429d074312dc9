#pragma once

#include <memory>
#include <string>

#include "device/PortSource.h"

namespace device {

// The port map of a Windows machine: the values of a registry key under HKEY_LOCAL_MACHINE,
// by default HARDWARE\DEVICEMAP\SERIALCOMM, where each value's name is the driver's device
// (\Device\Serial0) and its data the COM name (COM1). Values are read into buffers as large as
// the key's longest name and data, so no value is cut.
class PortSourceWindows final : public PortSource {
public:
    explicit PortSourceWindows(std::string subKey = "HARDWARE\\DEVICEMAP\\SERIALCOMM");

    std::unique_ptr<PortMap> Open() override;

private:
    std::string m_subKey;
};

// Whether a value's name is a driver's object (\Device\Serial0), opened by its COM name, rather
// than a file name of its own (COM11, \\.\COM11).
bool IsDriverObjectName(const std::string& name);

}  // namespace device
