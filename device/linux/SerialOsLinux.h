#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Declared, not included: <termios.h> defines many short macros (ECHO, B0, CR0, ...) that
// users of the serial port need not see.
struct termios;

namespace device {

// The thin layer through which the serial port reaches the operating system, so that tests can
// replace it and see what a pseudo-terminal hides (a pty forces 8 data bits and no parity).
// Every call returns 0 or a count on success and the negated errno on failure; nothing here
// reads or leaves errno behind.
class SerialOsLinux {
public:
    virtual ~SerialOsLinux() = default;

    // A file descriptor, or -errno.
    virtual int Open(const std::string& path, int flags) = 0;
    virtual int Close(int fd) = 0;
    // Non-blocking exclusive advisory lock (root ignores the tty's own exclusive mode).
    virtual int LockExclusive(int fd) = 0;
    // The tty's exclusive mode (TIOCEXCL / TIOCNXCL).
    virtual int SetExclusive(int fd, bool exclusive) = 0;
    virtual int GetAttributes(int fd, termios& settings) = 0;
    virtual int SetAttributes(int fd, const termios& settings) = 0;
    // Sets a baud rate that has no Bxxx constant, on both directions.
    virtual int SetCustomBaudRate(int fd, int baudRate) = 0;
    // 0 on time-out, 1 when revents was filled.
    virtual int Poll(int fd, short events, int timeoutMs, short& revents) = 0;
    // Bytes transferred (0 from Read means end of file), or -errno (-EAGAIN: not ready).
    virtual long Read(int fd, unsigned char* buffer, std::size_t count) = 0;
    virtual long Write(int fd, const unsigned char* buffer, std::size_t count) = 0;
    // TCIFLUSH, TCOFLUSH or TCIOFLUSH.
    virtual int Flush(int fd, int queue) = 0;
    // Bytes waiting in the receive / send queue, or -errno.
    virtual int InputCount(int fd) = 0;
    virtual int OutputCount(int fd) = 0;
    // Whether a ttyS node has a UART behind it; opens it read-only and changes nothing.
    virtual bool IsRealUart(const std::string& node) = 0;
    // Monotonic microseconds, fine enough that a wait never ends short of its time-out.
    virtual std::int64_t NowUs() = 0;
};

// The operating system itself.
SerialOsLinux& RealSerialOs();

}  // namespace device
