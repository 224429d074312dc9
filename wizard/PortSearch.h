#pragma once

// Find any through every port at once: one worker thread per port, each with a serial device,
// host and clock of its own, tries its port at every rate in list order, as the search one
// port after another would, until an instrument answers. The first port in the list that
// answers wins, so a port stops early only when one before it has answered, or when the user
// asked to stop. The sheet's thread waits, repainting, and reads the progress in between.
//   wizard::PortSearch search(portCount, rates, [&] { return sheet.MakeDevice(); }, watch);
//   while (!search.WaitFor(30)) { support::RunWaitHook(); if (StopRequested()) search.Stop(); }
//   if (std::optional<wizard::PortFound> found = search.Found()) ...

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/SearchWatch.h"

class SerialDevice;

namespace support {
class Clock;
}

namespace wizard {

// The port and line on which an instrument answered.
struct PortFound {
    int portIndex = -1;  // item index; the port number is one more
    std::string baud;    // the rate's text as listed
    char parity = 'N';
    int dataBits = 8;
    int stopBits = 1;
    std::string code;
};

class PortSearch {
public:
    using MakeDevice = std::function<std::unique_ptr<SerialDevice>()>;

    // Starts the search of ports 1..portCount at each of rates. The devices are made here, on
    // the calling thread, so that they number the ports as the caller's device does.
    PortSearch(int portCount, std::vector<std::string> rates, const MakeDevice& makeDevice,
               const engine::SearchWatch& watch);
    // Stops what still runs and waits for it.
    ~PortSearch();
    PortSearch(const PortSearch&) = delete;
    PortSearch& operator=(const PortSearch&) = delete;

    // Waits up to ms for every worker to end; true once they all have.
    bool WaitFor(int ms);
    // Every worker ends after the attempt it is in.
    void Stop();
    // What a worker last said it waits on, once; "" when nothing new.
    std::string TakeProgress();
    // Once every worker has ended: the first port in the list that answered.
    std::optional<PortFound> Found() const;

private:
    struct Port {
        int index = 0;
        std::unique_ptr<SerialDevice> device;
        std::unique_ptr<support::Clock> clock;
        std::optional<PortFound> found;
    };

    void Search(Port& port);
    // A port stops when the user asked, or when a port before it has answered.
    bool ShouldStop(int index) const;
    void SetProgress(const std::string& text);

    std::vector<std::string> m_rates;
    device::LineTrace* m_trace;
    std::vector<std::unique_ptr<Port>> m_ports;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_firstFound;
    std::mutex m_lock;
    std::condition_variable m_changed;
    int m_running = 0;
    std::string m_progress;
    std::vector<std::thread> m_threads;
};

}  // namespace wizard
