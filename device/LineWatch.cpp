#include "device/LineWatch.h"

#include "device/ComPortDevice.h"

namespace device {

namespace {

TraceLine LineOf(SerialDevice& device) {
    return {device.GetBaudRate(), device.GetDataBits(), device.GetParity(), device.GetStopBits()};
}

// The bytes that moved, on the line they moved on. A read that got less than it asked for
// waited out its time-out: the line went quiet, so the burst is over.
void Trace(LineTrace& trace, SerialDevice& device, char direction, const unsigned char* bytes,
           int requested, int transferred) {
    if (!trace.IsOpen()) return;
    const TraceTime now = TraceTime::Now();
    trace.Settings(now, DescribePort(device), LineOf(device));
    trace.Bytes(now, direction, bytes, transferred);
    if (direction == 'R' && transferred < requested) trace.EndBurst();
}

}  // namespace

std::string DescribePort(SerialDevice& device) {
    std::string name = device.GetPortName(0);
    if (name.empty()) name = "port " + std::to_string(device.GetPortNumber());
    return name;
}

std::string DescribeLine(SerialDevice& device) {
    return DescribeTraceLine(DescribePort(device), LineOf(device));
}

LineWatch::LineWatch(LineTrace& trace, ShowText show) : m_trace(trace), m_show(std::move(show)) {}

LineWatch::~LineWatch() {
    Detach();
}

void LineWatch::Attach(SerialDevice* device) {
    Detach();
    m_device = dynamic_cast<ComPortDevice*>(device);
    if (m_device == nullptr) return;
    m_device->SetWriteMonitor(&LineWatch::OnWrite, this);
    m_device->SetReadMonitor(&LineWatch::OnRead, this);
}

void LineWatch::Detach() {
    if (m_device == nullptr) return;
    m_device->ClearWriteMonitor();
    m_device->ClearReadMonitor();
    m_device = nullptr;
    m_trace.EndBurst();
}

void LineWatch::OnWrite(const unsigned char* bytes, int requested, int transferred, void* user) {
    auto& self = *static_cast<LineWatch*>(user);
    if (self.m_device == nullptr) return;
    Trace(self.m_trace, *self.m_device, 'W', bytes, requested, transferred);
    if (self.m_show) {
        self.m_show("Waiting on " + DescribeLine(*self.m_device));
    }
}

void LineWatch::OnRead(const unsigned char* bytes, int requested, int transferred, void* user) {
    auto& self = *static_cast<LineWatch*>(user);
    if (self.m_device != nullptr)
        Trace(self.m_trace, *self.m_device, 'R', bytes, requested, transferred);
}

}  // namespace device
