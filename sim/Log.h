#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "support/SafeFile.h"

namespace sim {

enum class Direction {
    Received,  // a command from the host; `note` says when it was not answered
    Sent,      // a reply; `note` holds its bytes in hex
    Dropped,   // bytes that came on a line other than the instrument's own
};

struct LogEntry {
    std::int64_t timeMs = 0;  // milliseconds since the epoch
    Direction direction = Direction::Received;
    std::string text;
    std::string note;
};

// One JSON object per entry, e.g. {"t":1712345678901,"dir":"rx","text":"DB CNF WRITE"}.
std::string JsonLine(const LogEntry& entry);
// "02 2B 0D"
std::string Hex(const std::string& bytes);

// The traffic seen by the simulator, kept in memory (the newest entries, to a limit) and
// optionally appended to a file. Safe to use from several threads.
class Log {
public:
    static constexpr std::size_t kMaxEntries = 10000;

    Log() = default;
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    bool OpenFile(const std::string& path, std::string& error);
    void Add(Direction direction, std::string text, std::string note = {});
    std::vector<LogEntry> Entries() const;
    std::vector<std::string> Texts(Direction direction) const;
    // Waits until `count` entries of `direction` have been added in all, or the time-out has
    // passed; true when they have.
    bool WaitFor(Direction direction, std::size_t count, int timeoutMs) const;

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_added;
    std::deque<LogEntry> m_entries;
    std::array<std::size_t, 3> m_counts{};  // entries added, by direction
    support::OutputFile m_file;
};

}  // namespace sim
