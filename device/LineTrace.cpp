#include "device/LineTrace.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

namespace device {
namespace {

// Hex of up to this many bytes is padded to one column, so the text column lines up.
constexpr int kHexColumnBytes = 16;

std::string TimeOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(ms));
    return text;
}

}  // namespace

std::string FormatTraceLine(const std::string& time, char direction, const unsigned char* bytes,
                            int requested, int transferred) {
    const int count = bytes != nullptr ? std::max(transferred, 0) : 0;
    std::string line = time + ' ' + direction + ' ' + std::to_string(transferred) + '/' +
                       std::to_string(requested) + ' ';
    std::string hex;
    std::string text;
    for (int i = 0; i < count; ++i) {
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02X", bytes[i]);
        hex += pair;
        const unsigned char b = bytes[i];
        text += b >= 0x20 && b < 0x7F ? static_cast<char>(b) : '.';
    }
    const std::size_t column = 3 * kHexColumnBytes;
    if (hex.size() < column) hex.append(column - hex.size(), ' ');
    return line + hex + "  |" + text + "|";
}

bool LineTrace::Open(const std::string& path, std::string& error) {
    m_file.reset(std::fopen(path.c_str(), "w"));
    if (m_file == nullptr) {
        error = "Cannot write the trace file " + path + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void LineTrace::Write(char direction, const unsigned char* bytes, int requested, int transferred) {
    if (m_file == nullptr) return;
    const std::string line = FormatTraceLine(TimeOfDay(), direction, bytes, requested, transferred);
    std::fprintf(m_file.get(), "%s\n", line.c_str());
    std::fflush(m_file.get());
}

}  // namespace device
