#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "support/ScopedOverride.h"

namespace device {

// The thin layer through which the serial port reaches Windows, one call per Win32 function,
// so that tests can replace it and check the device control block and time-outs it is given.
// Each call returns whether it succeeded; LastError then tells GetLastError's code.
class SerialOsWindows {
public:
    virtual ~SerialOsWindows() = default;

    // CreateFileA for reading and writing, not shared, existing only, not overlapped;
    // INVALID_HANDLE_VALUE on failure.
    virtual HANDLE Open(const std::string& path) = 0;
    virtual bool Close(HANDLE port) = 0;
    virtual bool GetState(HANDLE port, DCB& dcb) = 0;
    virtual bool SetState(HANDLE port, const DCB& dcb) = 0;
    virtual bool GetTimeouts(HANDLE port, COMMTIMEOUTS& timeouts) = 0;
    virtual bool SetTimeouts(HANDLE port, const COMMTIMEOUTS& timeouts) = 0;
    virtual bool GetMask(HANDLE port, DWORD& mask) = 0;
    virtual bool SetMask(HANDLE port, DWORD mask) = 0;
    virtual bool Setup(HANDLE port, DWORD receiveQueue, DWORD sendQueue) = 0;
    virtual bool Purge(HANDLE port, DWORD flags) = 0;
    virtual bool Read(HANDLE port, unsigned char* buffer, DWORD count, DWORD& read) = 0;
    virtual bool Write(HANDLE port, const unsigned char* buffer, DWORD count, DWORD& written) = 0;
    // ClearCommError: clears the port's error flags and tells the queue counts.
    virtual bool ClearError(HANDLE port, COMSTAT& status) = 0;
    virtual DWORD LastError() = 0;
    // Monotonic milliseconds.
    virtual std::int64_t NowMs() = 0;
};

// Windows itself.
SerialOsWindows& RealSerialOs();

// The serial calls in force on this thread: Windows itself, unless a ScopedSerialOs put
// another layer in its place (the program's built-in simulator, --simulate). A port made
// without a layer of its own takes this one.
using ScopedSerialOs = support::ScopedOverride<SerialOsWindows>;
SerialOsWindows& CurrentSerialOs();

// The system's text for an error code, without the line break it ends with; "" when unknown.
std::string ErrorText(DWORD code);

}  // namespace device
