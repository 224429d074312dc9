#pragma once

#include <string>
#include <string_view>

#include "sim/Fd.h"

namespace sim_test {

// A plain host on the slave side of a pty: raw mode, its own line, and reads that poll with a
// time-out, so that the simulator is tested without any of the wizard's serial code.
class PtyClient {
public:
    explicit PtyClient(const std::string& path);
    bool IsOpen() const { return static_cast<bool>(m_fd); }
    // 7 data bits, even parity, 2 stop bits when `oxqLine`; else 8 data bits, no parity, 1.
    bool SetLine(int baud, bool oxqLine);
    bool Write(std::string_view bytes);
    // One frame: up to CR, or up to ETX and the two bytes after it when `checksummed`.
    // Returns what came when the time-out passes first.
    std::string ReadFrame(bool checksummed, int timeoutMs = 2000);
    // Everything that arrives within `ms`.
    std::string ReadFor(int ms);
    // Writes `frame` and reads the reply frame.
    std::string Ask(std::string_view frame, bool checksummed, int timeoutMs = 2000);

private:
    // One byte within `timeoutMs`; false when none came.
    bool ReadByte(char& byte, int timeoutMs);

    sim::Fd m_fd;
};

}  // namespace sim_test
