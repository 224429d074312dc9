#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "device/SerialDevice.h"
#include "support/StringList.h"

namespace device {
class SerialOs;
}

// The operating system's serial port. On Linux a SerialDevice on a tty: ports are numbered as
// COM1, COM2, ... by the port map (see PortSource.h); opening COMn opens the device node that
// the map gives for it, exclusively, in raw mode, with the device's line settings. Reads and
// writes wait by poll() under the device's time-out, stretched at low baud rates. On Windows
// the port \\.\COMn itself, under the same time-out rule (ComPortDeviceWindows.cpp).
class ComPortDevice : public SerialDevice {
public:
    // Called after a read or write with the bytes concerned, the count asked for, the count
    // actually transferred and the user value given with the monitor.
    using Monitor = void (*)(const unsigned char* pBytes, int nRequested, int nTransferred,
                             void* pUser);

    ComPortDevice();
    // Tests pass a stand-in for the operating system.
    explicit ComPortDevice(device::SerialOs& os);
    ~ComPortDevice() override;

    using SerialDevice::InitSerial;

    int GetPortCount() override;
    std::string GetPortName(int nPort) override;
    BOOL InitSerial(int nPort, int nReceiveQueue, int nSendQueue) override;
    BOOL CloseSerial() override;
    BOOL ChangeBaudRate() override;
    int ReadString(std::string& str) override;
    int ReadBytes(unsigned char* pBuffer, int nCount) override;
    BOOL WriteBytes(const unsigned char* pBuffer, int nCount) override;
    int GetInputCount() override;
    int GetOutputCount() override;
    BOOL PurgeInput() override;
    BOOL PurgeOutput() override;
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
    std::unique_ptr<StringList> m_pPortTable;
#ifdef _WIN32
    // Handle of the open port; null when none is open.
    void* m_hPort = nullptr;
#else
    // File descriptor of the open port; -1 when none is open.
    int m_hPort = -1;
#endif
    Monitor m_pfnWriteMonitor = nullptr;
    Monitor m_pfnReadMonitor = nullptr;
    void* m_pWriteMonitorUser = nullptr;
    void* m_pReadMonitorUser = nullptr;

private:
#ifdef _WIN32
    // Sets the port's five time-outs for one read or write that may wait waitMs.
    bool SetTimeouts(int waitMs);
    // Marks the link lost when the system's error code means that the port has gone.
    void NoteFailure(std::uint32_t error);
    BOOL Purge(std::uint32_t flags);
    // The file to open for a device name without its colon: \\.\COM3, or the file name
    // that the port map gave for it.
    std::string DevicePath(const std::string& deviceName) const;
#else
    // Opens the node that the port map gives for a device name without its colon (COM1 ->
    // /dev/ttyUSB0), for this program alone. The file descriptor, or -errno.
    int OpenExclusive(const std::string& deviceName);
    // Marks the link lost when the error means that the port has gone.
    void NoteFailure(int error);
    BOOL Flush(int queue);
#endif
    int TimeoutMs();

    device::SerialOs& m_os;
    // Device node (Linux) or file name (Windows) by device name, as the port map gave it.
    std::map<std::string, std::string> m_portNodes;
    // Empty while the link holds; why it was lost otherwise.
    std::string m_strLinkLostReason;
};
