#include "sim/Log.h"

#include <chrono>

#include "sim/Json.h"

namespace sim {
namespace {

const char* Name(Direction direction) {
    switch (direction) {
        case Direction::Received:
            return "rx";
        case Direction::Sent:
            return "tx";
        case Direction::Dropped:
            return "drop";
    }
    return "?";
}

std::size_t Index(Direction direction) {
    return static_cast<std::size_t>(direction);
}

}  // namespace

std::string JsonLine(const LogEntry& entry) {
    json::OrderedJson line{
        {"t", entry.timeMs}, {"dir", Name(entry.direction)}, {"text", json::FromBytes(entry.text)}};
    if (!entry.note.empty()) line["note"] = json::FromBytes(entry.note);
    return json::Dump(line);
}

std::string Hex(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (!hex.empty()) hex += ' ';
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

bool Log::OpenFile(const std::string& path, std::string& error) {
    support::OutputFile file;
    if (!support::OpenForAppend(path, file, error)) return false;
    std::lock_guard lock(m_mutex);
    m_file = std::move(file);
    return true;
}

void Log::Add(Direction direction, std::string text, std::string note) {
    using namespace std::chrono;
    const auto now = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    LogEntry entry{now, direction, std::move(text), std::move(note)};
    {
        std::lock_guard lock(m_mutex);
        if (m_file) {
            std::fprintf(m_file.get(), "%s\n", JsonLine(entry).c_str());
            std::fflush(m_file.get());
        }
        m_entries.push_back(std::move(entry));
        if (m_entries.size() > kMaxEntries) m_entries.pop_front();
        ++m_counts[Index(direction)];
    }
    m_added.notify_all();
}

std::vector<LogEntry> Log::Entries() const {
    std::lock_guard lock(m_mutex);
    return {m_entries.begin(), m_entries.end()};
}

std::vector<std::string> Log::Texts(Direction direction) const {
    std::lock_guard lock(m_mutex);
    std::vector<std::string> texts;
    for (const LogEntry& e : m_entries) {
        if (e.direction == direction) texts.push_back(e.text);
    }
    return texts;
}

bool Log::WaitFor(Direction direction, std::size_t count, int timeoutMs) const {
    std::unique_lock lock(m_mutex);
    return m_added.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                            [&] { return m_counts[Index(direction)] >= count; });
}

}  // namespace sim
