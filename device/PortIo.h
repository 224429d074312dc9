#pragma once

#include <cstddef>

#include "device/PortTimeout.h"
#include "device/SerialOs.h"

namespace device {

// Outcome of one timed transfer: the bytes moved, and whether the port failed (closed,
// vanished, or an error other than "not ready") rather than merely timing out.
struct Transfer {
    int count = 0;
    bool failed = false;
};

// Reads up to count bytes. Gives up totalMs after the start, or intervalMs after the last byte
// once one has come. A port that hangs up fails at once. The waiting runs the wait hook.
Transfer ReadWithin(SerialOs& os, int fd, unsigned char* buffer, std::size_t count,
                    long long totalMs, long long intervalMs);

// Writes count bytes, giving up totalMs after the start.
Transfer WriteWithin(SerialOs& os, int fd, const unsigned char* buffer, std::size_t count,
                     long long totalMs);

}  // namespace device
