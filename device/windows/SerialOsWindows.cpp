#include "device/windows/SerialOsWindows.h"

#include <chrono>

namespace device {
namespace {

class WindowsSystem final : public SerialOsWindows {
public:
    HANDLE Open(const std::string& path) override {
        return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    }
    bool Close(HANDLE port) override { return CloseHandle(port) != 0; }
    bool GetState(HANDLE port, DCB& dcb) override { return GetCommState(port, &dcb) != 0; }
    bool SetState(HANDLE port, const DCB& dcb) override {
        DCB copy = dcb;
        return SetCommState(port, &copy) != 0;
    }
    bool GetTimeouts(HANDLE port, COMMTIMEOUTS& timeouts) override {
        return GetCommTimeouts(port, &timeouts) != 0;
    }
    bool SetTimeouts(HANDLE port, const COMMTIMEOUTS& timeouts) override {
        COMMTIMEOUTS copy = timeouts;
        return SetCommTimeouts(port, &copy) != 0;
    }
    bool GetMask(HANDLE port, DWORD& mask) override { return GetCommMask(port, &mask) != 0; }
    bool SetMask(HANDLE port, DWORD mask) override { return SetCommMask(port, mask) != 0; }
    bool Setup(HANDLE port, DWORD receiveQueue, DWORD sendQueue) override {
        return SetupComm(port, receiveQueue, sendQueue) != 0;
    }
    bool Purge(HANDLE port, DWORD flags) override { return PurgeComm(port, flags) != 0; }
    bool Read(HANDLE port, unsigned char* buffer, DWORD count, DWORD& read) override {
        read = 0;
        return ReadFile(port, buffer, count, &read, nullptr) != 0;
    }
    bool Write(HANDLE port, const unsigned char* buffer, DWORD count, DWORD& written) override {
        written = 0;
        return WriteFile(port, buffer, count, &written, nullptr) != 0;
    }
    bool ClearError(HANDLE port, COMSTAT& status) override {
        DWORD errors = 0;
        return ClearCommError(port, &errors, &status) != 0;
    }
    DWORD LastError() override { return GetLastError(); }
    std::int64_t NowMs() override {
        using namespace std::chrono;
        return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

}  // namespace

SerialOsWindows& RealSerialOs() {
    static WindowsSystem os;
    return os;
}

SerialOsWindows& CurrentSerialOs() {
    SerialOsWindows* layer = ScopedSerialOs::Current();
    return layer != nullptr ? *layer : RealSerialOs();
}

std::string ErrorText(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text(buffer ? buffer : "", buffer ? length : 0);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

}  // namespace device
