#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "device/SerialDevice.h"
#include "support/StringList.h"

// The operating system's serial port, COM1, COM2, ...: what it does alike on every system.
// Ports are numbered by the port map (see PortSource.h); opening COMn opens the file that the
// map gives for it (or the system's own COMn), exclusively, with the device's line settings.
// Reads and writes wait under the device's time-out, stretched below 9600 baud. Each system's
// class supplies the calls: ComPortDeviceLinux (termios, device/linux/) and
// ComPortDeviceWindows (the COM port functions, device/windows/); device::MakeComPortDevice
// gives the one of the platform built for.
class ComPortDevice : public SerialDevice {
public:
    // Called after a read or write with the bytes concerned, the count asked for, the count
    // actually transferred and the user value given with the monitor.
    using Monitor = void (*)(const unsigned char* pBytes, int nRequested, int nTransferred,
                             void* pUser);

    ~ComPortDevice() override = default;

    using SerialDevice::InitSerial;

    int GetPortCount() override;
    std::string GetPortName(int nPort) override;
    BOOL InitSerial(int nPort, int nReceiveQueue, int nSendQueue) override;
    int ReadString(std::string& str) override;
    int ReadBytes(unsigned char* pBuffer, int nCount) override;
    BOOL WriteBytes(const unsigned char* pBuffer, int nCount) override;
    BOOL IsLinkLost() override;
    std::string GetLinkLostReason() override;

    virtual BOOL SetReadMonitor(Monitor pfnMonitor, void* pUser);
    virtual BOOL SetWriteMonitor(Monitor pfnMonitor, void* pUser);
    virtual BOOL ClearReadMonitor();
    virtual BOOL ClearWriteMonitor();
    virtual void EnumeratePorts();

    // ReadString gives up at this many bytes without the terminator, or this long after the
    // first byte, so that a line that never sends the terminator cannot hold it forever.
    static constexpr int kReadStringMaxBytes = 1024;
    static constexpr int kReadStringMaxMs = 30000;
    // Port numbers above this are not listed.
    static constexpr int kMaxPortNumber = 256;

protected:
    ComPortDevice() = default;

    // What one read or write moved, and whether the port failed rather than timed out.
    struct Transfer {
        int count = 0;
        bool failed = false;
    };

    // The system's part, after the operations above. A failure that means the port has gone
    // (unplugged, hung up) is noted by the system's class in m_strLinkLostReason.

    // Opens the port of a device key (COM1) exclusively; on failure error is the system's code.
    virtual bool OpenPort(const std::string& key, int& error) = 0;
    // What the system says about a failed open, with what the user can do: "\n --- ...".
    virtual std::string OpenFailureReason(int error) = 0;
    // Asks for received-character events; true where the system has no event mask.
    virtual bool SetReceiveEvents() = 0;
    // Sizes the queues where the system can, and empties both, as on a freshly opened port,
    // so that no stale bytes are taken for a reply.
    virtual bool SetupQueues(int nReceiveQueue, int nSendQueue) = 0;
    // Sets the waits of the transfers that follow: a read of n bytes gives up n + readWaitMs
    // after its start, or the time-out after a byte once one came; a write of n bytes
    // n + the time-out. False when the port does not take them.
    virtual bool SetPortTimeouts(long long readWaitMs) = 0;
    virtual Transfer ReadPort(unsigned char* pBuffer, int nCount) = 0;
    virtual Transfer WritePort(const unsigned char* pBuffer, int nCount) = 0;
    // Whether a port map's value name is a file to open on its own (a device node such as
    // /dev/ttyUSB0, or COM11 on Windows) rather than a name that only labels the port.
    virtual bool IsPortFile(const std::string& name) = 0;
    // Monotonic microseconds of the system's clock.
    virtual std::int64_t NowUs() = 0;

    // The device's time-out for one read or write at the current baud rate.
    int TimeoutMs();
    // The key by which a port's file is found: its device name without the colon (COM1).
    std::string DeviceKey(int nPort);
    // The file that the port map gave for a device key; empty when it gave none.
    std::string PortFile(const std::string& key) const;

    std::unique_ptr<StringList> m_pPortTable;
    Monitor m_pfnWriteMonitor = nullptr;
    Monitor m_pfnReadMonitor = nullptr;
    void* m_pWriteMonitorUser = nullptr;
    void* m_pReadMonitorUser = nullptr;
    // Empty while the link holds; why it was lost otherwise.
    std::string m_strLinkLostReason;

private:
    // The file of each device key, as the port map gave it.
    std::map<std::string, std::string> m_portFiles;
};

namespace device {

// The serial port of the system built for, on the machine's port map.
std::unique_ptr<ComPortDevice> MakeComPortDevice();

}  // namespace device
