#pragma once

#include <time.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "device/ComPortDevice.h"
#include "device/PortSource.h"
#include "sim/PtyServer.h"

namespace integration_test {

// One port map entry: the given node as COM1.
class SinglePortSource : public device::PortSource {
public:
    explicit SinglePortSource(std::string node) : m_node(std::move(node)) {}
    std::unique_ptr<device::PortMap> Open() override {
        return std::make_unique<device::ListPortMap>(
            std::vector<device::PortValue>{{m_node, "COM1"}});
    }

private:
    std::string m_node;
};

// The simulated instrument on a pty that the machine's port map lists as COM1. The device is
// made by the caller once the map is in force, since a ComPortDevice reads it when constructed.
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
            source = std::make_unique<SinglePortSource>(server->SlavePath());
            scope = std::make_unique<device::ScopedPortSource>(*source);
        }
    }

    std::string error;
    std::unique_ptr<sim::PtyServer> server;
    std::unique_ptr<SinglePortSource> source;
    std::unique_ptr<device::ScopedPortSource> scope;
};

// Sets the line of a mode as the instrument uses it: 7E2 for OXQ, 8N1 otherwise.
inline void SetModeLine(SerialDevice& device, bool oxq, int baud) {
    device.SetBaudRate(baud);
    device.SetParity(oxq ? 'E' : 'N');
    device.SetDataBits(oxq ? 7 : 8);
    device.SetStopBits(oxq ? 2 : 1);
}

// Milliseconds that a call took on the real clock.
template <typename F>
double WallMs(F&& call) {
    const auto begin = std::chrono::steady_clock::now();
    call();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin)
        .count();
}

// Milliseconds on one of the kernel's clocks (monotonic, thread or process CPU time).
inline double ClockMs(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// CPU milliseconds the calling thread has used so far.
inline double ThreadCpuMs() {
    return ClockMs(CLOCK_THREAD_CPUTIME_ID);
}

}  // namespace integration_test
