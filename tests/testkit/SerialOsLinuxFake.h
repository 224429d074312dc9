#pragma once

#include <termios.h>

#include <climits>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "device/linux/SerialOsLinux.h"

namespace testkit_test {

// The operating system as the serial port sees it, in virtual time: device nodes with their
// termios settings, one open port at a time, bytes that arrive on the line at given times, a
// peer that hangs up, a send queue that can fill up, and any call made to fail with an errno.
// A poll that finds nothing advances the time by its time-out, or to the next event.
class SerialOsLinuxFake final : public device::SerialOsLinux {
public:
    // A node as a real UART reports it after boot: 9600 baud, 8N1, hardware flow control.
    void AddNode(const std::string& path);
    termios& Settings(const std::string& path) { return m_nodes.at(path); }
    int CustomBaudRate() const { return m_customBaudRate; }

    // Bytes that reach the receive queue at the given time.
    void Arrive(std::int64_t atMs, const std::string& bytes);
    void HangUpAt(std::int64_t atMs) { m_hangUpMs = atMs; }
    // Bytes the send queue still accepts.
    void SetSendRoom(std::size_t bytes) { m_sendRoom = bytes; }
    const std::string& Written() const { return m_written; }
    // Calls that changed something, in order ("open /dev/x", "lock", "exclusive on", ...).
    const std::vector<std::string>& Calls() const { return m_calls; }
    std::int64_t Now() const { return m_now; }
    void SetRealUarts(std::vector<std::string> nodes) { m_realUarts = std::move(nodes); }

    // -errno to return from the named call instead of doing it.
    int openError = 0;
    int lockError = 0;
    int exclusiveError = 0;
    int getAttributesError = 0;
    int setAttributesError = 0;
    int customBaudError = 0;
    int flushError = 0;

    int Open(const std::string& path, int flags) override;
    int Close(int fd) override;
    int LockExclusive(int fd) override;
    int SetExclusive(int fd, bool exclusive) override;
    int GetAttributes(int fd, termios& settings) override;
    int SetAttributes(int fd, const termios& settings) override;
    int SetCustomBaudRate(int fd, int baudRate) override;
    int Poll(int fd, short events, int timeoutMs, short& revents) override;
    long Read(int fd, unsigned char* buffer, std::size_t count) override;
    long Write(int fd, const unsigned char* buffer, std::size_t count) override;
    int Flush(int fd, int queue) override;
    int InputCount(int fd) override;
    int OutputCount(int fd) override;
    bool IsRealUart(const std::string& node) override;
    std::int64_t NowUs() override { return m_now * 1000; }

    static constexpr int kFd = 7;

private:
    bool IsOpen(int fd) const { return fd == kFd && !m_openPath.empty(); }
    bool HungUp() const { return m_now >= m_hangUpMs; }
    // Bytes that have arrived by now and were not read yet.
    std::size_t Waiting() const;
    std::int64_t NextEvent() const;

    std::map<std::string, termios> m_nodes;
    std::string m_openPath;
    std::int64_t m_now = 1000;
    std::multimap<std::int64_t, std::string> m_arrivals;
    std::int64_t m_hangUpMs = INT64_MAX;
    std::size_t m_sendRoom = SIZE_MAX;
    std::string m_written;
    std::vector<std::string> m_calls;
    std::vector<std::string> m_realUarts;
    int m_customBaudRate = 0;
};

}  // namespace testkit_test
