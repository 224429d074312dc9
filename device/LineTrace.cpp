#include "device/LineTrace.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "support/LineText.h"

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
    const std::string head = time + ' ' + direction + ' ' + std::to_string(bytes.size()) + ' ';
    std::string lines;
    std::size_t first = 0;
    do {
        const std::size_t count = std::min(kHexColumnBytes, bytes.size() - first);
        std::string hex;
        for (std::size_t i = first; i < first + count; ++i) {
            char pair[4];
            std::snprintf(pair, sizeof pair, " %02X", static_cast<unsigned char>(bytes[i]));
            hex += pair;
        }
        hex.append(3 * kHexColumnBytes - hex.size(), ' ');
        if (first > 0) lines += '\n';
        lines += (first == 0 ? head : std::string(head.size(), ' ')) + hex + "  |" +
                 support::LineText(bytes, first, count) + "|";
        first += count;
    } while (first < bytes.size());
    return lines;
}

std::int64_t BurstGapUs(int baud) {
    // Ten bit times a byte.
    const std::int64_t twoBytesUs = baud > 0 ? 2 * 10 * 1'000'000LL / baud : 0;
    return kBurstGapMs * 1000 + twoBytesUs;
}

LineTrace::~LineTrace() {
    Close();
}

bool LineTrace::Open(const std::string& path, std::string& error, const std::string& program) {
    std::lock_guard lock(m_mutex);
    support::OutputFile file;
    if (!support::CreateNewFile(path, file, error)) {
        error = "Cannot write the trace file " + error;
        return false;
    }
    m_file = std::move(file);
    m_program = (program.empty() ? std::string("unnamed program") : program) + " " VELTRIX_VERSION;
    m_startWallMs = TraceTime::Now().wallMs;
    m_started = false;
    m_direction = 0;
    m_error.clear();
    return true;
}

bool LineTrace::IsOpen() const {
    std::lock_guard lock(m_mutex);
    return m_file != nullptr;
}

void LineTrace::Close() {
    std::lock_guard lock(m_mutex);
    if (m_file == nullptr) return;
    CloseBurst();
    if (!m_started) {
        Append("# Veltrix line trace, " + m_program + ", started " + DateAndTime(m_startWallMs) +
               ", nothing went over the line");
    }
    Append("# Run ended " + DateAndTime(TraceTime::Now().wallMs));
    if (std::fclose(m_file.release()) != 0 && m_error.empty()) {
        m_error = std::string("Writing the trace failed: ") + std::strerror(errno);
    }
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
    }
    m_burst.append(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(count));
    m_lastUs = at.steadyUs;
    // Every reply frame ends in a CR: the reply is on file before the program acts on it, so a
    // crash that it causes still leaves it in the trace. Bytes that follow within the burst's
    // pause make a burst of their own, which the replay joins to the reply again.
    if (direction == 'R' && m_burst.back() == '\r') CloseBurst();
}

void LineTrace::EndBurst() {
    std::lock_guard lock(m_mutex);
    if (m_file != nullptr) CloseBurst();
}

void LineTrace::CloseBurst() {
    if (m_direction != 0) Append(FormatBurst(m_burstTime, m_direction, m_burst));
    m_direction = 0;
}

void LineTrace::Append(const std::string& line) {
    if (std::fprintf(m_file.get(), "%s\n", line.c_str()) < 0 || std::fflush(m_file.get()) != 0) {
        if (m_error.empty())
            m_error = std::string("Writing the trace failed: ") + std::strerror(errno);
    }
}

}  // namespace device
