#include "device/LineWatch.h"

#include "device/ComPortDevice.h"

namespace device {

std::string DescribeLine(SerialDevice& device) {
    std::string name = device.GetPortName(0);
    if (name.empty()) name = "port " + std::to_string(device.GetPortNumber());
    return name + " at " + std::to_string(device.GetBaudRate()) + " baud, " +
           std::to_string(device.GetDataBits()) + device.GetParity() +
           std::to_string(device.GetStopBits());
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
}

void LineWatch::OnWrite(const unsigned char* bytes, int requested, int transferred, void* user) {
    auto& self = *static_cast<LineWatch*>(user);
    self.m_trace.Write('W', bytes, requested, transferred);
    if (self.m_show && self.m_device != nullptr) {
        self.m_show("Waiting on " + DescribeLine(*self.m_device));
    }
}

void LineWatch::OnRead(const unsigned char* bytes, int requested, int transferred, void* user) {
    static_cast<LineWatch*>(user)->m_trace.Write('R', bytes, requested, transferred);
}

}  // namespace device
