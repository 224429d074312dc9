#include "device/linux/PortIo.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <system_error>

#include "support/Clock.h"

namespace device {
namespace {

// Waits are cut into slices so the window can repaint while the line is quiet. A slice is
// rounded up to whole milliseconds, so no wait ends before its time.
int Slice(std::int64_t leftUs) {
    const std::int64_t ms = (leftUs + 999) / 1000;
    return static_cast<int>(std::min<std::int64_t>(ms, support::WaitHookIntervalMs));
}

constexpr short kBroken = POLLERR | POLLHUP | POLLNVAL;

// A transfer on a port that is not open fails at once, as the system call would.
Transfer ClosedPort() {
    Transfer result;
    result.failed = true;
    result.error = EBADF;
    return result;
}

}  // namespace

bool MeansPortGone(int error) {
    return error == kHungUp || error == EIO || error == ENXIO || error == ENODEV;
}

std::string GoneReason(int error) {
    if (error == kHungUp) return "the line hung up";
    return std::system_category().message(error);
}

Transfer ReadWithin(SerialOsLinux& os, int fd, unsigned char* buffer, std::size_t count,
                    long long totalMs, long long intervalMs) {
    if (fd < 0) return ClosedPort();
    Transfer result;
    const std::int64_t deadline = os.NowUs() + totalMs * 1000;
    std::int64_t lastByte = 0;
    std::size_t got = 0;
    while (got < count) {
        const std::int64_t now = os.NowUs();
        std::int64_t left = deadline - now;
        if (got > 0) left = std::min<std::int64_t>(left, lastByte + intervalMs * 1000 - now);
        if (left <= 0) break;

        short revents = 0;
        const int ready = os.Poll(fd, POLLIN, Slice(left), revents);
        if (ready == -EINTR) continue;
        if (ready < 0 || (revents & POLLNVAL)) {
            result.failed = true;
            result.error = ready < 0 ? -ready : EBADF;
            break;
        }
        if (ready == 0) {
            support::RunWaitHook();
            continue;
        }
        // Bytes that came before a hang-up are still taken; only then does the read fail.
        const long n = os.Read(fd, buffer + got, count - got);
        if (n > 0) {
            got += static_cast<std::size_t>(n);
            lastByte = os.NowUs();
            continue;
        }
        if ((n == -EAGAIN || n == -EINTR) && !(revents & kBroken)) continue;
        // End of file, hang-up or a read error: the port is gone.
        result.failed = true;
        result.error = n < 0 && n != -EAGAIN && n != -EINTR ? static_cast<int>(-n) : kHungUp;
        break;
    }
    result.count = static_cast<int>(got);
    return result;
}

Transfer WriteWithin(SerialOsLinux& os, int fd, const unsigned char* buffer, std::size_t count,
                     long long totalMs) {
    if (fd < 0) return ClosedPort();
    Transfer result;
    const std::int64_t deadline = os.NowUs() + totalMs * 1000;
    std::size_t sent = 0;
    while (sent < count) {
        const long n = os.Write(fd, buffer + sent, count - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n != 0 && n != -EAGAIN && n != -EINTR) {
            result.failed = true;
            result.error = static_cast<int>(-n);
            break;
        }
        const std::int64_t left = deadline - os.NowUs();
        if (left <= 0) break;
        short revents = 0;
        const int ready = os.Poll(fd, POLLOUT, Slice(left), revents);
        if (ready == -EINTR) continue;
        if (ready < 0 || (revents & kBroken)) {
            result.failed = true;
            result.error = ready < 0 ? -ready : (revents & POLLNVAL) ? EBADF : kHungUp;
            break;
        }
        if (ready == 0) support::RunWaitHook();
    }
    result.count = static_cast<int>(sent);
    return result;
}

}  // namespace device
