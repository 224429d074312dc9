#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "sim/Fd.h"
#include "sim/State.h"

namespace sim {

// The instrument's end of a pseudo-terminal: raw mode, the host's line as the pty shows it,
// and a stop request that ends every wait at once. Unless told otherwise the pty keeps a slave
// descriptor of its own open, so the host may close and reopen the slave at will.
class Pty {
public:
    // Opens the pty at the given line, so a plain client that changes nothing is heard.
    // watchHost: keep no slave open, so that HostConnected can tell when the host closed it.
    bool Open(const Line& own, std::string& error, bool watchHost = false);
    const std::string& SlavePath() const { return m_slavePath; }

    // What the host writes: up to `size` bytes within `timeoutMs`. 0 when nothing came, -1
    // when a stop was requested.
    long Read(char* buffer, std::size_t size, int timeoutMs) const;
    // Some process holds the slave open (always true unless the pty watches the host).
    bool HostConnected() const;
    // The host's speed and stop bits; nothing for a speed the instrument does not know.
    std::optional<Line> HostLine() const;
    // False when the pty refused the bytes, had no room for a second, or a stop came.
    bool WriteAll(const char* data, std::size_t size) const;
    // True when a stop was requested; otherwise returns after `ms`.
    bool WaitForStop(int ms) const;
    void RequestStop() const;

private:
    std::string m_slavePath;
    Fd m_master;
    Fd m_slave;
    Fd m_stop;
};

}  // namespace sim
