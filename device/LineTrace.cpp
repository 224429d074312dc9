#include "device/LineTrace.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace device {
namespace {

// Hex of up to this many bytes is padded to one column, so the text column lines up.
constexpr std::size_t kHexColumnBytes = 16;
// A pause longer than this (plus two byte times) ends a burst.
constexpr std::int64_t kBurstGapMs = 5;

std::tm LocalTime(std::int64_t wallMs) {
    const std::time_t seconds = static_cast<std::time_t>(wallMs / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    return local;
}

// "2026-12-07 14:03:07.412 +0100"
std::string DateAndTime(std::int64_t wallMs) {
    const std::tm local = LocalTime(wallMs);
    char date[32];
    char zone[16];
    std::strftime(date, sizeof date, "%Y-%m-%d ", &local);
    std::strftime(zone, sizeof zone, " %z", &local);
    return date + TraceClock(wallMs) + zone;
}

}  // namespace

TraceTime TraceTime::Now() {
    using namespace std::chrono;
    TraceTime now;
    now.steadyUs = duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
    now.wallMs = duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
    return now;
}

std::string TraceClock(std::int64_t wallMs) {
    const std::tm local = LocalTime(wallMs);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(wallMs % 1000));
    return text;
}

std::string DescribeTraceLine(const std::string& port, const TraceLine& line) {
    return port + " at " + std::to_string(line.baud) + " baud, " + std::to_string(line.dataBits) +
           line.parity + std::to_string(line.stopBits);
}

std::string FormatBurst(const std::string& time, char direction, const std::string& bytes) {
    std::string hex;
    std::string text;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02X", b);
        hex += pair;
        text += b >= 0x20 && b < 0x7F ? c : '.';
    }
    if (hex.size() < 3 * kHexColumnBytes) hex.append(3 * kHexColumnBytes - hex.size(), ' ');
    return time + ' ' + direction + ' ' + std::to_string(bytes.size()) + ' ' + hex + "  |" + text +
           "|";
}

std::int64_t BurstGapUs(int baud) {
    // Ten bit times a byte.
    const std::int64_t twoBytesUs = baud > 0 ? 2 * 10 * 1'000'000LL / baud : 0;
    return kBurstGapMs * 1000 + twoBytesUs;
}

bool LineTrace::Open(const std::string& path, std::string& error, const std::string& program) {
    std::lock_guard lock(m_mutex);
    m_file.reset(std::fopen(path.c_str(), "w"));
    if (m_file == nullptr) {
        error = "Cannot write the trace file " + path + ": " + std::strerror(errno);
        return false;
    }
    m_program = program.empty() ? std::string("unnamed program") : program;
    m_startWallMs = TraceTime::Now().wallMs;
    m_started = false;
    m_seekable = std::ftell(m_file.get()) >= 0;
    m_direction = 0;
    m_error.clear();
    return true;
}

bool LineTrace::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_file != nullptr;
}

std::string LineTrace::Error() const {
    std::lock_guard lock(m_mutex);
    return m_error;
}

void LineTrace::Settings(const TraceTime& at, const std::string& port, const TraceLine& line) {
    std::lock_guard lock(m_mutex);
    if (m_file == nullptr || (m_started && port == m_port && line == m_line)) return;
    CloseBurst();
    m_port = port;
    m_line = line;
    if (!m_started) {
        m_started = true;
        Append("# Veltrix line trace, " + m_program + ", started " + DateAndTime(m_startWallMs) +
               ", on " + DescribeTraceLine(port, line));
    } else {
        Append(TraceClock(at.wallMs) + " = " + DescribeTraceLine(port, line));
    }
}

void LineTrace::Bytes(const TraceTime& at, char direction, const unsigned char* bytes, int count) {
    std::lock_guard lock(m_mutex);
    if (m_file == nullptr || bytes == nullptr || count <= 0) return;
    const bool joins =
        m_direction == direction && at.steadyUs - m_lastUs <= BurstGapUs(m_line.baud);
    if (!joins) {
        CloseBurst();
        m_direction = direction;
        m_burst.clear();
        m_burstTime = TraceClock(at.wallMs);
        m_burstOffset = m_seekable ? std::ftell(m_file.get()) : -1;
    }
    m_burst.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
    m_lastUs = at.steadyUs;
    if (m_seekable) RewriteBurst();
}

void LineTrace::EndBurst() {
    std::lock_guard lock(m_mutex);
    if (m_file != nullptr) CloseBurst();
}

void LineTrace::CloseBurst() {
    if (m_direction != 0 && !m_seekable) Append(FormatBurst(m_burstTime, m_direction, m_burst));
    m_direction = 0;
}

// Writes the burst under way over its earlier, shorter self: the line only grows, so nothing
// of the old one is left.
void LineTrace::RewriteBurst() {
    if (m_burstOffset < 0 || std::fseek(m_file.get(), m_burstOffset, SEEK_SET) != 0) {
        // From here on, bursts are written once they end.
        Fail("The trace file cannot be rewritten: ");
        m_seekable = false;
        return;
    }
    Append(FormatBurst(m_burstTime, m_direction, m_burst));
}

void LineTrace::Append(const std::string& line) {
    if (std::fprintf(m_file.get(), "%s\n", line.c_str()) < 0 || std::fflush(m_file.get()) != 0) {
        Fail("Writing the trace failed: ");
    }
}

void LineTrace::Fail(const char* what) {
    if (m_error.empty()) m_error = what + std::string(std::strerror(errno));
}

}  // namespace device
