#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <string>

namespace testkit_test {

// A pseudo-terminal whose master side the test plays as the instrument; the port under test
// opens the slave by its path. The slave descriptor that openpty gives is closed at once, so
// the port's own open is the only one, and the slave keeps the terminal settings it starts with
// (cooked mode) until the port sets its own.
class PtyPair {
public:
    PtyPair() {
        int slave = -1;
        char name[256] = {};
        if (openpty(&m_master, &slave, name, nullptr, nullptr) != 0) return;
        m_slavePath = name;
        ::close(slave);
    }
    ~PtyPair() { CloseMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool Ok() const { return m_master >= 0 && !m_slavePath.empty(); }
    const std::string& SlavePath() const { return m_slavePath; }
    int Master() const { return m_master; }

    void Send(const std::string& bytes) const {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.data() + sent, bytes.size() - sent);
            if (n <= 0) return;
            sent += static_cast<std::size_t>(n);
        }
    }

    // What the port sent, until count bytes came or the line stayed quiet for quietMs.
    std::string Receive(std::size_t count, int quietMs = 500) const {
        std::string bytes;
        while (bytes.size() < count) {
            pollfd entry{m_master, POLLIN, 0};
            if (::poll(&entry, 1, quietMs) <= 0 || !(entry.revents & POLLIN)) break;
            char buffer[512];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0) break;
            bytes.append(buffer, static_cast<std::size_t>(n));
        }
        return bytes;
    }

    void CloseMaster() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    std::string m_slavePath;
};

}  // namespace testkit_test
