#pragma once

#include <string>

#include "device/ComPortDevice.h"

namespace device {
class SerialOsLinux;
}

// The serial port on Linux: a tty opened exclusively (the tty's own exclusive mode and a
// non-blocking lock, since root ignores the former), in raw mode, with the device's line
// settings. Reads and writes wait by poll(). A tty has no event mask, and its queues have
// fixed sizes.
class ComPortDeviceLinux : public ComPortDevice {
public:
    ComPortDeviceLinux();
    // Tests pass a stand-in for the operating system.
    explicit ComPortDeviceLinux(device::SerialOsLinux& os);
    ~ComPortDeviceLinux() override;

    BOOL CloseSerial() override;
    BOOL ChangeBaudRate() override;
    int GetInputCount() override;
    int GetOutputCount() override;
    BOOL PurgeInput() override;
    BOOL PurgeOutput() override;

protected:
    bool OpenPort(const std::string& key, int& error) override;
    std::string OpenFailureReason(int error) override;
    bool SetReceiveEvents() override;
    bool SetupQueues(int nReceiveQueue, int nSendQueue) override;
    bool SetPortTimeouts(long long readWaitMs) override;
    Transfer ReadPort(unsigned char* pBuffer, int nCount) override;
    Transfer WritePort(const unsigned char* pBuffer, int nCount) override;
    bool IsPortFile(const std::string& name) override;
    std::int64_t NowUs() override;

    // File descriptor of the open port; -1 when none is open.
    int m_hPort = -1;

private:
    // Marks the link lost when the error means that the port has gone.
    void NoteFailure(int error);
    BOOL Flush(int queue);

    device::SerialOsLinux& m_os;
    long long m_readWaitMs = 0;
};
