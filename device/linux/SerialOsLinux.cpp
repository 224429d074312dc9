#include "device/linux/SerialOsLinux.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "device/linux/CustomBaud.h"

namespace device {
namespace {

int Result(int rc) {
    return rc < 0 ? -errno : rc;
}

class LinuxSystem final : public SerialOsLinux {
public:
    int Open(const std::string& path, int flags) override {
        return Result(::open(path.c_str(), flags));
    }
    int Close(int fd) override { return Result(::close(fd)); }
    int LockExclusive(int fd) override { return Result(::flock(fd, LOCK_EX | LOCK_NB)); }
    int SetExclusive(int fd, bool exclusive) override {
        return Result(::ioctl(fd, exclusive ? TIOCEXCL : TIOCNXCL));
    }
    int GetAttributes(int fd, termios& settings) override {
        return Result(::tcgetattr(fd, &settings));
    }
    int SetAttributes(int fd, const termios& settings) override {
        return Result(::tcsetattr(fd, TCSANOW, &settings));
    }
    int SetCustomBaudRate(int fd, int baudRate) override {
        return device::SetCustomBaudRate(fd, baudRate);
    }
    int Poll(int fd, short events, int timeoutMs, short& revents) override {
        pollfd entry{fd, events, 0};
        const int rc = ::poll(&entry, 1, timeoutMs);
        revents = entry.revents;
        return Result(rc);
    }
    long Read(int fd, unsigned char* buffer, std::size_t count) override {
        const ssize_t n = ::read(fd, buffer, count);
        return n < 0 ? -errno : n;
    }
    long Write(int fd, const unsigned char* buffer, std::size_t count) override {
        const ssize_t n = ::write(fd, buffer, count);
        return n < 0 ? -errno : n;
    }
    int Flush(int fd, int queue) override { return Result(::tcflush(fd, queue)); }
    int InputCount(int fd) override {
        int count = 0;
        return ::ioctl(fd, FIONREAD, &count) < 0 ? -errno : count;
    }
    int OutputCount(int fd) override {
        int count = 0;
        return ::ioctl(fd, TIOCOUTQ, &count) < 0 ? -errno : count;
    }
    bool IsRealUart(const std::string& node) override {
        const int fd = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            // A port held by another program, or one the user may not open, is still a port:
            // listing it lets the open report why it cannot be used.
            return errno == EBUSY || errno == EACCES || errno == EPERM;
        }
        serial_struct info{};
        const bool real = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
        ::close(fd);
        return real;
    }
    std::int64_t NowUs() override {
        using namespace std::chrono;
        return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    }
};

}  // namespace

SerialOsLinux& RealSerialOs() {
    static LinuxSystem os;
    return os;
}

}  // namespace device
