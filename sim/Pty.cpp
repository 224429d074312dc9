#include "sim/Pty.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace sim {
namespace {

// The longest a wait on the pty lasts before it looks again.
constexpr int kIdleMs = 20;
// How long a reply may wait for room in the pty before it is given up.
constexpr int kWriteTimeoutMs = 1000;

struct Speed {
    int baud;
    speed_t code;
};
constexpr std::array<Speed, 8> kSpeeds{{{300, B300},
                                        {600, B600},
                                        {1200, B1200},
                                        {2400, B2400},
                                        {4800, B4800},
                                        {9600, B9600},
                                        {19200, B19200},
                                        {38400, B38400}}};

int BaudOf(speed_t code) {
    for (const Speed& s : kSpeeds) {
        if (s.code == code) return s.baud;
    }
    return 0;
}

speed_t CodeOf(int baud) {
    for (const Speed& s : kSpeeds) {
        if (s.baud == baud) return s.code;
    }
    return B9600;
}

bool Fail(std::string& error, const char* what) {
    error = std::string(what) + ": " + std::strerror(errno);
    return false;
}

}  // namespace

bool Pty::Open(const Line& own, std::string& error, bool watchHost) {
    m_master.Reset(posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!m_master) return Fail(error, "posix_openpt");
    char name[128];
    if (grantpt(m_master.Get()) != 0 || unlockpt(m_master.Get()) != 0 ||
        ptsname_r(m_master.Get(), name, sizeof name) != 0) {
        return Fail(error, "pseudo-terminal set-up");
    }
    m_slavePath = name;

    // Raw mode without echo; on Linux the master's settings are the slave's.
    termios tio{};
    if (tcgetattr(m_master.Get(), &tio) != 0) return Fail(error, "tcgetattr");
    cfmakeraw(&tio);
    cfsetispeed(&tio, CodeOf(own.baud));
    cfsetospeed(&tio, CodeOf(own.baud));
    tio.c_cflag = own.twoStopBits ? (tio.c_cflag | CSTOPB) : (tio.c_cflag & ~tcflag_t{CSTOPB});
    if (tcsetattr(m_master.Get(), TCSANOW, &tio) != 0) return Fail(error, "tcsetattr");
    if (!watchHost) {
        m_slave.Reset(open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
        if (!m_slave) return Fail(error, name);
    }
    m_stop.Reset(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (!m_stop) return Fail(error, "eventfd");
    return true;
}

long Pty::Read(char* buffer, std::size_t size, int timeoutMs) const {
    pollfd fds[2] = {{m_master.Get(), POLLIN, 0}, {m_stop.Get(), POLLIN, 0}};
    const int ready = poll(fds, 2, timeoutMs);
    if (fds[1].revents != 0) return -1;
    if (ready > 0 && (fds[0].revents & POLLIN) != 0) {
        const ssize_t n = read(m_master.Get(), buffer, size);
        if (n > 0) return n;
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    }
    // The pty reports a hang-up while no slave is open: wait instead of spinning on it.
    if (ready != 0 && WaitForStop(std::min(timeoutMs, kIdleMs))) return -1;
    return 0;
}

bool Pty::HostConnected() const {
    // The master reports a hang-up while no slave is open.
    pollfd fd{m_master.Get(), 0, 0};
    return poll(&fd, 1, 0) == 0 || (fd.revents & POLLHUP) == 0;
}

std::optional<Line> Pty::HostLine() const {
    termios tio{};
    if (tcgetattr(m_master.Get(), &tio) != 0) return std::nullopt;
    const int baud = BaudOf(cfgetospeed(&tio));
    if (baud == 0) return std::nullopt;
    return Line{baud, (tio.c_cflag & CSTOPB) != 0};
}

bool Pty::WriteAll(const char* data, std::size_t size) const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kWriteTimeoutMs);
    while (size > 0) {
        const ssize_t n = write(m_master.Get(), data, size);
        if (n > 0) {
            data += n;
            size -= static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return false;
        pollfd fds[2] = {{m_master.Get(), POLLOUT, 0}, {m_stop.Get(), POLLIN, 0}};
        poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), kIdleMs)));
        if (fds[1].revents != 0) return false;
    }
    return true;
}

bool Pty::WaitForStop(int ms) const {
    pollfd fd{m_stop.Get(), POLLIN, 0};
    return poll(&fd, 1, ms) > 0;
}

void Pty::RequestStop() const {
    const std::uint64_t one = 1;
    if (write(m_stop.Get(), &one, sizeof one) < 0) std::perror("veltrix-sim: stop");
}

}  // namespace sim
