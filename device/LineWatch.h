#pragma once

// Watches the serial line of the wizard's device: every read and write goes to the trace (when
// one is open), and every write tells the window which port and line settings the program is
// waiting on, so a search through all ports shows its progress.
//   device::LineWatch watch(trace, [&](const std::string& text) { host.ShowBusyText(text); });
//   watch.Attach(sheet.GetDevice());     // a ComPortDevice; any other device is left alone

#include <functional>
#include <string>

#include "device/LineTrace.h"

class ComPortDevice;
class SerialDevice;

namespace device {

// The open port's label, "/dev/ttyUSB0  ( COM1 )"; "port 3" when it has none.
std::string DescribePort(SerialDevice& device);
// "/dev/ttyUSB0  ( COM1 ) at 9600 baud, 8N1"
std::string DescribeLine(SerialDevice& device);

class LineWatch {
public:
    using ShowText = std::function<void(const std::string&)>;

    LineWatch(LineTrace& trace, ShowText show);
    ~LineWatch();
    LineWatch(const LineWatch&) = delete;
    LineWatch& operator=(const LineWatch&) = delete;

    // Replaces the device's monitors with this watch's; null or another kind is ignored.
    void Attach(SerialDevice* device);
    // Takes the monitors off again (before the device goes, or at the latest here).
    void Detach();

private:
    static void OnWrite(const unsigned char* bytes, int requested, int transferred, void* user);
    static void OnRead(const unsigned char* bytes, int requested, int transferred, void* user);

    LineTrace& m_trace;
    ShowText m_show;
    ComPortDevice* m_device = nullptr;
};

}  // namespace device
