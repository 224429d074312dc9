#include "PtyClient.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

namespace sim_test {
namespace {

speed_t Code(int baud) {
    switch (baud) {
        case 300:
            return B300;
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        default:
            return B9600;
    }
}

int Remaining(std::chrono::steady_clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

PtyClient::PtyClient(const std::string& path)
    : m_fd(open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC)) {
    termios tio{};
    if (m_fd && tcgetattr(m_fd.Get(), &tio) == 0) {
        cfmakeraw(&tio);
        tcsetattr(m_fd.Get(), TCSANOW, &tio);
    }
}

bool PtyClient::SetLine(int baud, bool oxqLine) {
    termios tio{};
    if (tcgetattr(m_fd.Get(), &tio) != 0) return false;
    tio.c_cflag &= ~tcflag_t{CSIZE | PARENB | PARODD | CSTOPB};
    tio.c_cflag |= oxqLine ? (CS7 | PARENB | CSTOPB) : CS8;
    cfsetispeed(&tio, Code(baud));
    cfsetospeed(&tio, Code(baud));
    // A pty keeps 8 data bits and no parity, and the call then fails with EINVAL when nothing
    // else changed; what counts is that the speed and the stop bits took effect.
    tcsetattr(m_fd.Get(), TCSANOW, &tio);
    termios now{};
    return tcgetattr(m_fd.Get(), &now) == 0 && cfgetospeed(&now) == Code(baud) &&
           (now.c_cflag & CSTOPB) == (tio.c_cflag & CSTOPB);
}

bool PtyClient::Write(std::string_view bytes) {
    return write(m_fd.Get(), bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

bool PtyClient::ReadByte(char& byte, int timeoutMs) {
    pollfd fd{m_fd.Get(), POLLIN, 0};
    return poll(&fd, 1, timeoutMs) > 0 && read(m_fd.Get(), &byte, 1) == 1;
}

std::string PtyClient::ReadFrame(bool checksummed, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string bytes;
    std::size_t etx = std::string::npos;
    for (char byte; ReadByte(byte, Remaining(deadline));) {
        bytes += byte;
        if (checksummed && etx == std::string::npos && byte == '\x03') etx = bytes.size() - 1;
        if (checksummed ? etx != std::string::npos && bytes.size() == etx + 3 : byte == '\r') break;
    }
    return bytes;
}

std::string PtyClient::ReadFor(int ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    std::string bytes;
    for (char byte; ReadByte(byte, Remaining(deadline));)
        bytes += byte;
    return bytes;
}

std::string PtyClient::Ask(std::string_view frame, bool checksummed, int timeoutMs) {
    tcflush(m_fd.Get(), TCIFLUSH);
    if (!Write(frame)) return {};
    return ReadFrame(checksummed, timeoutMs);
}

}  // namespace sim_test
