#include "tests/testkit/SerialOsLinuxFake.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>

namespace testkit_test {

void SerialOsLinuxFake::AddNode(const std::string& path) {
    termios settings{};
    settings.c_iflag = ICRNL | IXON | IXOFF;
    settings.c_oflag = OPOST | ONLCR;
    settings.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    settings.c_cflag = CS8 | CREAD | HUPCL | CRTSCTS;
    settings.c_cc[VMIN] = 1;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    m_nodes[path] = settings;
}

void SerialOsLinuxFake::Arrive(std::int64_t atMs, const std::string& bytes) {
    m_arrivals.emplace(atMs, bytes);
}

int SerialOsLinuxFake::Open(const std::string& path, int /*flags*/) {
    m_calls.push_back("open " + path);
    if (openError) return openError;
    if (!m_nodes.count(path)) return -ENOENT;
    if (!m_openPath.empty()) return -EBUSY;
    m_openPath = path;
    return kFd;
}

int SerialOsLinuxFake::Close(int fd) {
    if (!IsOpen(fd)) return -EBADF;
    m_calls.push_back("close");
    m_openPath.clear();
    return 0;
}

int SerialOsLinuxFake::LockExclusive(int fd) {
    if (!IsOpen(fd)) return -EBADF;
    m_calls.push_back("lock");
    return lockError;
}

int SerialOsLinuxFake::SetExclusive(int fd, bool exclusive) {
    if (!IsOpen(fd)) return -EBADF;
    m_calls.push_back(exclusive ? "exclusive on" : "exclusive off");
    return exclusive ? exclusiveError : 0;
}

int SerialOsLinuxFake::GetAttributes(int fd, termios& settings) {
    if (!IsOpen(fd)) return -EBADF;
    if (getAttributesError) return getAttributesError;
    settings = m_nodes.at(m_openPath);
    return 0;
}

int SerialOsLinuxFake::SetAttributes(int fd, const termios& settings) {
    if (!IsOpen(fd)) return -EBADF;
    m_calls.push_back("set attributes");
    if (setAttributesError) return setAttributesError;
    m_nodes.at(m_openPath) = settings;
    return 0;
}

int SerialOsLinuxFake::SetCustomBaudRate(int fd, int baudRate) {
    if (!IsOpen(fd)) return -EBADF;
    m_calls.push_back("custom baud rate");
    if (customBaudError) return customBaudError;
    m_customBaudRate = baudRate;
    return 0;
}

std::size_t SerialOsLinuxFake::Waiting() const {
    std::size_t count = 0;
    for (auto it = m_arrivals.begin(); it != m_arrivals.end() && it->first <= m_now; ++it) {
        count += it->second.size();
    }
    return count;
}

std::int64_t SerialOsLinuxFake::NextEvent() const {
    const std::int64_t arrival = m_arrivals.empty() ? INT64_MAX : m_arrivals.begin()->first;
    return std::min(arrival, m_hangUpMs);
}

int SerialOsLinuxFake::Poll(int fd, short events, int timeoutMs, short& revents) {
    revents = 0;
    if (!IsOpen(fd)) {
        revents = POLLNVAL;
        return 1;
    }
    const auto readiness = [&]() -> short {
        if (HungUp()) return POLLHUP | (events & POLLIN);
        if ((events & POLLIN) && Waiting() > 0) return POLLIN;
        if ((events & POLLOUT) && m_sendRoom > 0) return POLLOUT;
        return 0;
    };
    revents = readiness();
    if (revents) return 1;
    const std::int64_t next = NextEvent();
    if (next <= m_now + timeoutMs) {
        m_now = next;
        revents = readiness();
        if (revents) return 1;
    }
    m_now += timeoutMs;
    revents = readiness();
    return revents ? 1 : 0;
}

long SerialOsLinuxFake::Read(int fd, unsigned char* buffer, std::size_t count) {
    if (!IsOpen(fd)) return -EBADF;
    std::size_t got = 0;
    while (got < count && !m_arrivals.empty() && m_arrivals.begin()->first <= m_now) {
        auto first = m_arrivals.begin();
        const std::size_t n = std::min(count - got, first->second.size());
        std::copy_n(first->second.begin(), n, buffer + got);
        got += n;
        if (n == first->second.size()) {
            m_arrivals.erase(first);
        } else {
            first->second.erase(0, n);
        }
    }
    if (got > 0) return static_cast<long>(got);
    return HungUp() ? 0 : -EAGAIN;
}

long SerialOsLinuxFake::Write(int fd, const unsigned char* buffer, std::size_t count) {
    if (!IsOpen(fd)) return -EBADF;
    if (HungUp()) return -EIO;
    const std::size_t n = std::min(count, m_sendRoom);
    if (n == 0) return -EAGAIN;
    m_sendRoom -= n;
    m_written.append(reinterpret_cast<const char*>(buffer), n);
    return static_cast<long>(n);
}

int SerialOsLinuxFake::Flush(int fd, int queue) {
    if (!IsOpen(fd)) return -EBADF;
    m_calls.push_back(queue == TCIFLUSH   ? "flush input"
                      : queue == TCOFLUSH ? "flush output"
                                          : "flush both");
    if (flushError) return flushError;
    if (queue != TCOFLUSH) {
        m_arrivals.erase(m_arrivals.begin(), m_arrivals.upper_bound(m_now));
    }
    return 0;
}

int SerialOsLinuxFake::InputCount(int fd) {
    if (!IsOpen(fd)) return -EBADF;
    return static_cast<int>(Waiting());
}

int SerialOsLinuxFake::OutputCount(int fd) {
    if (!IsOpen(fd)) return -EBADF;
    return 0;
}

bool SerialOsLinuxFake::IsRealUart(const std::string& node) {
    m_calls.push_back("probe " + node);
    return std::find(m_realUarts.begin(), m_realUarts.end(), node) != m_realUarts.end();
}

}  // namespace testkit_test
