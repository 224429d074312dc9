#pragma once

#include <memory>
#include <string>
#include <vector>

#include "device/ComPortDevice.h"
#include "device/PortSource.h"
#include "sim/PtyServer.h"
#include "tests/testkit/PortSourceFake.h"

namespace testkit_test {

// The simulated instrument on a pty that the machine's port map lists as COM1. The device is
// made by the caller once the map is in force, since a ComPortDevice reads it when constructed.
// Needs the simulator library (veltrix_sim).
class SimulatedPort {
public:
    // Empty `error` when the simulator runs.
    SimulatedPort(int mode, int baud, std::vector<sim::Fault> faults = {}) {
        sim::ServerConfig config;
        config.state.mode = mode;
        config.state.baud = baud;
        config.faults = std::move(faults);
        server = sim::PtyServer::Start(std::move(config), error);
        if (server) {
            source = std::make_unique<PortSourceFake>(
                std::vector<device::PortValue>{{server->SlavePath(), "COM1"}});
            scope = std::make_unique<device::ScopedPortSource>(*source);
        }
    }

    std::string error;
    std::unique_ptr<sim::PtyServer> server;
    std::unique_ptr<PortSourceFake> source;
    std::unique_ptr<device::ScopedPortSource> scope;
};

// Sets the line of a mode as the instrument uses it: 7E2 for OXQ, 8N1 otherwise.
inline void SetModeLine(SerialDevice& device, bool oxq, int baud) {
    device.SetBaudRate(baud);
    device.SetParity(oxq ? 'E' : 'N');
    device.SetDataBits(oxq ? 7 : 8);
    device.SetStopBits(oxq ? 2 : 1);
}

}  // namespace testkit_test
