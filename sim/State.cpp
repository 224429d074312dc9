#include "sim/State.h"

#include <algorithm>
#include <cctype>

namespace sim {
namespace {

constexpr std::array<std::string_view, kModeCount> kTypeCodes{"+VT", "+MV", "+DL", "+OQ"};
constexpr std::array<std::string_view, kModeCount> kModeNames{"veltrix", "morvane", "dravell",
                                                              "oxq"};
constexpr std::array<int, 8> kBaudRates{300, 600, 1200, 2400, 4800, 9600, 19200, 38400};

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

}  // namespace

std::string_view TypeCode(int mode) {
    return InRange(mode, 0, kModeCount - 1) ? kTypeCodes[static_cast<std::size_t>(mode)] : "";
}

int ModeFromText(std::string_view text) {
    if (text.size() == 1 && text[0] >= '0' && text[0] < '0' + kModeCount) return text[0] - '0';
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto it = std::find(kModeNames.begin(), kModeNames.end(), lower);
    return it == kModeNames.end() ? -1 : static_cast<int>(it - kModeNames.begin());
}

Line LineOf(int mode, int baud) {
    return Line{baud, mode == kModeOxq};
}

bool IsSupportedBaud(int baud) {
    return std::find(kBaudRates.begin(), kBaudRates.end(), baud) != kBaudRates.end();
}

int PresetIndex(int flashes, int points, int distance) {
    for (std::size_t i = 0; i < kMeasurementPresets.size(); ++i) {
        const Measurement& m = kMeasurementPresets[i];
        if (m.flashes == flashes && m.points == points && m.distance == distance) {
            return static_cast<int>(i);
        }
    }
    return kCustomMeasurement;
}

std::string FilterTableText(const State& state) {
    std::string text;
    for (std::size_t i = 0; i < state.filters.size(); ++i) {
        if (i > 0) text += state.filterSeparator;
        text += std::to_string(state.filters[i]);
    }
    return text;
}

int VersionNumber(std::string_view text) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (std::size_t dot = text.find('.'); dot != std::string_view::npos;
         dot = text.find('.', dot + 1)) {
        if (dot == 0 || !isDigit(text[dot - 1]) || dot + 1 >= text.size() ||
            !isDigit(text[dot + 1])) {
            continue;
        }
        std::size_t start = dot;
        while (start > 0 && isDigit(text[start - 1]))
            --start;
        int major = 0;
        for (std::size_t i = start; i < dot && major < 1000; ++i)
            major = major * 10 + text[i] - '0';
        // The minor part counts in thousandths: ".1" and ".10" are both 100.
        int minor = 0;
        int scale = 100;
        for (std::size_t i = dot + 1; i < text.size() && isDigit(text[i]) && scale > 0; ++i) {
            minor += (text[i] - '0') * scale;
            scale /= 10;
        }
        return major * 1000 + minor;
    }
    return 0;
}

std::string Validate(const State& s) {
    if (!InRange(s.mode, 0, kModeCount - 1)) return "mode must be 0 to 3";
    if (!IsSupportedBaud(s.baud))
        return "baud rate must be 300, 600, 1200, 2400, 4800, 9600, 19200 or 38400";
    if (s.version.empty()) return "version text must not be empty";
    // The version travels inside a frame: its framing bytes would cut the reply short.
    if (s.version.find_first_of("\x02\x03\r") != std::string::npos) {
        return "version text must not hold STX, ETX or CR";
    }
    if (s.filters.size() != 4 && s.filters.size() != 6) return "filter table needs 4 or 6 values";
    for (int f : s.filters) {
        if (!InRange(f, 0, 999)) return "filter values must be 0 to 999";
    }
    if (s.filterSeparator != '-' && s.filterSeparator != '/' && s.filterSeparator != ' ') {
        return "filter separator must be '-', '/' or blank";
    }
    if (s.slideKind == '+' || !std::isgraph(static_cast<unsigned char>(s.slideKind))) {
        return "slide kind must be one visible character other than '+'";
    }
    if (!InRange(s.filterMin, 1, 999) || !InRange(s.filterMax, s.filterMin, 999)) {
        return "filter range must be MIN-MAX with 1 <= MIN <= MAX <= 999";
    }
    if (!InRange(s.flashes, 1, 55)) return "flashes must be 1 to 55";
    if (!InRange(s.points, 1, 40)) return "points must be 1 to 40";
    if (!InRange(s.distance, 175, 9000)) return "distance must be 175 to 9000";
    if (!InRange(s.measurementMode, 0, kCustomMeasurement))
        return "measurement mode must be 0 to 3";
    for (int p : s.plate) {
        if (!InRange(p, 1, 3)) return "plate defaults must be 1 to 3";
    }
    return {};
}

}  // namespace sim
