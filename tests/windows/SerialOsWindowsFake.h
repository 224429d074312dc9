#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The port device comes first: its truth values are the system's own, before <windows.h>.
#include "device/windows/ComPortDeviceWindows.h"
#include "device/windows/SerialOsWindows.h"

namespace windows_test {

// Windows' serial calls played by the test: a port with the device control block and time-outs
// it reports, a line that delivers the bytes of input, and a record of every setting made.
// Time advances only by reads: a byte takes byteMs, a read that gets nothing its time-out.
class SerialOsWindowsFake final : public device::SerialOsWindows {
public:
    SerialOsWindowsFake();

    HANDLE Open(const std::string& path) override;
    bool Close(HANDLE port) override;
    bool GetState(HANDLE port, DCB& dcb) override;
    bool SetState(HANDLE port, const DCB& dcb) override;
    bool GetTimeouts(HANDLE port, COMMTIMEOUTS& out) override;
    bool SetTimeouts(HANDLE port, const COMMTIMEOUTS& in) override;
    bool GetMask(HANDLE port, DWORD& out) override;
    bool SetMask(HANDLE port, DWORD in) override;
    bool Setup(HANDLE port, DWORD receiveQueue, DWORD sendQueue) override;
    bool Purge(HANDLE port, DWORD flags) override;
    bool Read(HANDLE port, unsigned char* buffer, DWORD count, DWORD& read) override;
    bool Write(HANDLE port, const unsigned char* buffer, DWORD count, DWORD& written) override;
    bool ClearError(HANDLE port, COMSTAT& status) override;
    DWORD LastError() override { return lastError; }
    std::int64_t NowMs() override { return now; }

    // The port as it reports itself, and what was set.
    DCB state{};
    COMMTIMEOUTS timeouts{};
    DWORD mask = 0;
    std::vector<DCB> statesSet;
    std::vector<COMMTIMEOUTS> timeoutsSet;
    std::vector<DWORD> masksSet;
    std::vector<DWORD> purges;
    DWORD receiveQueue = 0;
    DWORD sendQueue = 0;
    std::string openedPath;
    int opens = 0;
    int closes = 0;
    int reads = 0;

    // Failures to play: an open that fails with openError, and calls that fail.
    DWORD openError = 0;
    bool getStateFails = false;
    bool setStateFails = false;
    bool setMaskFails = false;
    bool setupFails = false;
    bool timeoutsFail = false;
    bool readFails = false;
    DWORD lastError = 0;

    // The line: bytes to deliver, bytes written, and how many a write takes at most.
    std::string input;
    std::string output;
    DWORD writeLimit = MAXDWORD;
    DWORD outputQueue = 0;
    int byteMs = 1;
    std::int64_t now = 0;

private:
    bool IsOpen(HANDLE port) const;
};

// A device whose port table holds \Device\Serial0 = COM1 and \Device\Serial2 = COM3.
struct FakePort {
    SerialOsWindowsFake os;
    std::unique_ptr<ComPortDeviceWindows> device;
    FakePort();
};

}  // namespace windows_test
