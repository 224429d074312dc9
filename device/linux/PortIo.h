#pragma once

#include <cstddef>
#include <string>

#include "device/PortTimeout.h"
#include "device/linux/SerialOsLinux.h"

namespace device {

// Why a transfer failed when no errno says it: the line hung up (poll reported a hang-up or
// an error condition, or a read met the end of the file).
inline constexpr int kHungUp = -1;

// Outcome of one timed transfer: the bytes moved, and whether the port failed (closed,
// vanished, or an error other than "not ready") rather than merely timing out, with the errno
// or kHungUp.
struct Transfer {
    int count = 0;
    bool failed = false;
    int error = 0;
};

// Whether a failure means the device has gone (unplugged, powered off, its pty closed): EIO,
// ENXIO, ENODEV or a hang-up. A port that this program closed is not gone.
bool MeansPortGone(int error);
// The reason for the user: "the line hung up", or the operating system's text.
std::string GoneReason(int error);

// Reads up to count bytes. Gives up totalMs after the start, or intervalMs after the last byte
// once one has come. A port that hangs up fails at once. The waiting runs the wait hook.
Transfer ReadWithin(SerialOsLinux& os, int fd, unsigned char* buffer, std::size_t count,
                    long long totalMs, long long intervalMs);

// Writes count bytes, giving up totalMs after the start.
Transfer WriteWithin(SerialOsLinux& os, int fd, const unsigned char* buffer, std::size_t count,
                     long long totalMs);

}  // namespace device
