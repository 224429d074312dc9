#include "tests/windows/SerialOsWindowsFake.h"

#include <algorithm>

#include "device/PortSource.h"
#include "tests/testkit/PortSourceFake.h"

namespace windows_test {
namespace {

const HANDLE kPort = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(0x1234));

}  // namespace

SerialOsWindowsFake::SerialOsWindowsFake() {
    state.DCBlength = sizeof(DCB);
    state.BaudRate = 1200;
    state.ByteSize = 8;
    state.Parity = MARKPARITY;
    state.StopBits = ONE5STOPBITS;
    timeouts.ReadIntervalTimeout = 7;
}

bool SerialOsWindowsFake::IsOpen(HANDLE port) const {
    return port == kPort && opens > closes;
}

HANDLE SerialOsWindowsFake::Open(const std::string& path) {
    openedPath = path;
    if (openError != 0) {
        lastError = openError;
        return INVALID_HANDLE_VALUE;
    }
    ++opens;
    return kPort;
}

bool SerialOsWindowsFake::Close(HANDLE port) {
    if (!IsOpen(port)) return false;
    ++closes;
    return true;
}

bool SerialOsWindowsFake::GetState(HANDLE port, DCB& dcb) {
    if (!IsOpen(port) || getStateFails || dcb.DCBlength != sizeof(DCB)) return false;
    dcb = state;
    return true;
}

bool SerialOsWindowsFake::SetState(HANDLE port, const DCB& dcb) {
    statesSet.push_back(dcb);
    if (!IsOpen(port) || setStateFails) return false;
    state = dcb;
    return true;
}

bool SerialOsWindowsFake::GetTimeouts(HANDLE port, COMMTIMEOUTS& out) {
    if (!IsOpen(port) || timeoutsFail) return false;
    out = timeouts;
    return true;
}

bool SerialOsWindowsFake::SetTimeouts(HANDLE port, const COMMTIMEOUTS& in) {
    if (!IsOpen(port) || timeoutsFail) return false;
    timeouts = in;
    timeoutsSet.push_back(in);
    return true;
}

bool SerialOsWindowsFake::GetMask(HANDLE port, DWORD& out) {
    if (!IsOpen(port)) return false;
    out = mask;
    return true;
}

bool SerialOsWindowsFake::SetMask(HANDLE port, DWORD in) {
    masksSet.push_back(in);
    if (!IsOpen(port) || setMaskFails) return false;
    mask = in;
    return true;
}

bool SerialOsWindowsFake::Setup(HANDLE port, DWORD receive, DWORD send) {
    if (!IsOpen(port) || setupFails) return false;
    receiveQueue = receive;
    sendQueue = send;
    return true;
}

bool SerialOsWindowsFake::Purge(HANDLE port, DWORD flags) {
    if (!IsOpen(port)) return false;
    purges.push_back(flags);
    if (flags & PURGE_RXCLEAR) input.clear();
    return true;
}

bool SerialOsWindowsFake::Read(HANDLE port, unsigned char* buffer, DWORD count, DWORD& read) {
    ++reads;
    read = 0;
    if (!IsOpen(port) || readFails) return false;
    read = std::min<DWORD>(count, static_cast<DWORD>(input.size()));
    std::copy_n(input.begin(), read, buffer);
    input.erase(0, read);
    now += read > 0 ? std::int64_t{byteMs} * read
                    : timeouts.ReadTotalTimeoutConstant +
                          std::int64_t{timeouts.ReadTotalTimeoutMultiplier} * count;
    return true;
}

bool SerialOsWindowsFake::Write(HANDLE port, const unsigned char* buffer, DWORD count,
                                DWORD& written) {
    written = 0;
    if (!IsOpen(port)) return false;
    written = std::min(count, writeLimit);
    output.append(reinterpret_cast<const char*>(buffer), written);
    return true;
}

bool SerialOsWindowsFake::ClearError(HANDLE port, COMSTAT& status) {
    if (!IsOpen(port)) return false;
    status = COMSTAT{};
    status.cbInQue = static_cast<DWORD>(input.size());
    status.cbOutQue = outputQueue;
    return true;
}

FakePort::FakePort() {
    testkit_test::PortSourceFake ports(
        {{"\\Device\\Serial0", "COM1"}, {"\\Device\\Serial2", "COM3"}});
    const device::ScopedPortSource scoped(ports);
    device = std::make_unique<ComPortDeviceWindows>(os);
}

}  // namespace windows_test
