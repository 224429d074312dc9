#pragma once

#include <cstdint>
#include <string>

#include "device/ComPortDevice.h"

namespace device {
class SerialOsWindows;
}

// The serial port on Windows: the port \\.\COMn opened with the COM port functions,
// exclusively, with the device's line settings on top of the block that the port reports and
// the time-outs set before every read and write.
class ComPortDeviceWindows : public ComPortDevice {
public:
    ComPortDeviceWindows();
    // Tests pass a stand-in for Windows' serial calls.
    explicit ComPortDeviceWindows(device::SerialOsWindows& os);
    ~ComPortDeviceWindows() override;

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

    // Handle of the open port; null when none is open. Kept without <windows.h>, whose TRUE
    // and FALSE macros would clash with the system's truth values.
    void* m_hPort = nullptr;

private:
    // Marks the link lost when the system's error code means that the port has gone.
    void NoteFailure(std::uint32_t error);
    BOOL Purge(std::uint32_t flags);

    device::SerialOsWindows& m_os;
};
