#include "wizard/PortSearch.h"

#include <chrono>
#include <climits>
#include <utility>

#include "device/LineTrace.h"
#include "device/LineWatch.h"
#include "device/SerialDevice.h"
#include "framework/Host.h"
#include "framework/RecordingHost.h"
#include "support/Clock.h"
#include "support/ValueString.h"
#include "wizard/ConnectAttempt.h"

namespace wizard {

PortSearch::PortSearch(int portCount, std::vector<std::string> rates, const MakeDevice& makeDevice,
                       const engine::SearchWatch& watch)
    : m_rates(std::move(rates)), m_trace(watch.trace), m_firstFound(INT_MAX) {
    for (int index = 0; index < portCount; ++index) {
        auto port = std::make_unique<Port>();
        port->index = index;
        port->device = makeDevice();
        port->clock = support::CurrentClock().ForAnotherThread();
        m_ports.push_back(std::move(port));
    }
    m_running = static_cast<int>(m_ports.size());
    for (const std::unique_ptr<Port>& port : m_ports)
        m_threads.emplace_back([this, &port = *port] { Search(port); });
}

PortSearch::~PortSearch() {
    Stop();
    for (std::thread& thread : m_threads)
        thread.join();
}

void PortSearch::Search(Port& port) {
    // Nothing of this thread may reach the screen's host or the caller's clock.
    framework::RecordingHost host;
    framework::ScopedHost useHost(host);
    support::ScopedClock useClock(*port.clock);
    device::LineTrace noTrace;
    device::LineWatch watch(m_trace != nullptr ? *m_trace : noTrace,
                            [this](const std::string& text) { SetProgress(text); });
    watch.Attach(port.device.get());
    for (const std::string& rate : m_rates) {
        if (ShouldStop(port.index)) break;
        const ConnectAttempt attempt =
            TryConnect(*port.device, port.index + 1, ValueString(rate).ToInt());
        if (attempt.code.empty()) continue;
        SerialDevice& line = *port.device;
        port.found =
            PortFound{port.index,         rate,        line.GetParity(), line.GetDataBits(),
                      line.GetStopBits(), attempt.code};
        int first = m_firstFound.load();
        while (port.index < first && !m_firstFound.compare_exchange_weak(first, port.index)) {
        }
        break;
    }
    watch.Detach();
    // The port is free again for the sheet's own device.
    port.device.reset();
    const std::lock_guard<std::mutex> hold(m_lock);
    --m_running;
    m_changed.notify_all();
}

bool PortSearch::ShouldStop(int index) const {
    return m_stop.load() || m_firstFound.load() < index;
}

void PortSearch::SetProgress(const std::string& text) {
    const std::lock_guard<std::mutex> hold(m_lock);
    m_progress = text;
}

bool PortSearch::WaitFor(int ms) {
    std::unique_lock<std::mutex> hold(m_lock);
    return m_changed.wait_for(hold, std::chrono::milliseconds(ms),
                              [this] { return m_running == 0; });
}

void PortSearch::Stop() {
    m_stop.store(true);
}

std::string PortSearch::TakeProgress() {
    const std::lock_guard<std::mutex> hold(m_lock);
    return std::exchange(m_progress, std::string());
}

std::optional<PortFound> PortSearch::Found() const {
    const int first = m_firstFound.load();
    if (first == INT_MAX) return std::nullopt;
    return m_ports[static_cast<std::size_t>(first)]->found;
}

}  // namespace wizard
