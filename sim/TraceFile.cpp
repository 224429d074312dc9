#include "sim/TraceFile.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <fstream>

#include "sim/Log.h"
#include "support/LineText.h"

namespace sim {
namespace {

constexpr std::string_view kHeader = "# Veltrix line trace, ";
constexpr std::string_view kRunEnded = "# Run ended";
constexpr std::int64_t kDayMs = 24 * 3600 * 1000;
// More than any instrument reply; a count beyond it is a damaged line.
constexpr int kMaxBurstBytes = 65536;
constexpr std::size_t kMaxFileBytes = 64u << 20;

bool Fail(std::string& error, int lineNumber, const std::string& message) {
    error = "line " + std::to_string(lineNumber) + ": " + message;
    return false;
}

bool ToInt(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

// "HH:MM:SS.mmm" as milliseconds since midnight; -1 when it is no such time.
int TimeMs(std::string_view text) {
    constexpr std::string_view kForm = "00:00:00.000";
    if (text.size() != kForm.size()) return -1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(text[i])) != 0;
        if (kForm[i] == '0' ? !digit : text[i] != kForm[i]) return -1;
    }
    const auto number = [&](std::size_t at, std::size_t length) {
        int value = 0;
        ToInt(text.substr(at, length), value);
        return value;
    };
    const int hours = number(0, 2);
    const int minutes = number(3, 2);
    const int seconds = number(6, 2);
    if (hours > 23 || minutes > 59 || seconds > 60) return -1;
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + number(9, 3);
}

// The end of a header or "=" line: "... at 9600 baud, 8N1".
bool ParseSettings(std::string_view text, Line& line, std::string& lineText) {
    const std::size_t at = text.rfind(" at ");
    if (at == std::string_view::npos) return false;
    const std::string_view rest = text.substr(at + 4);
    const std::size_t baudEnd = rest.find(" baud, ");
    int baud = 0;
    if (baudEnd == std::string_view::npos || !ToInt(rest.substr(0, baudEnd), baud) || baud <= 0 ||
        baud > 4'000'000) {
        return false;
    }
    const std::string_view form = rest.substr(baudEnd + 7);
    if (form.size() != 3 || form[0] < '5' || form[0] > '8' ||
        std::string_view("NEOMS").find(form[1]) == std::string_view::npos ||
        (form[2] != '1' && form[2] != '2')) {
        return false;
    }
    line = Line{baud, form[2] == '2'};
    lineText = std::string(rest);
    return true;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "02 21 0D 00      |<STX>!<CR><NUL>|": the bytes in hex, appended to `bytes`, and the text
// column between bars.
bool ParseHex(std::string_view text, std::string& bytes, std::string& why) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') {
        while (i < text.size() && text[i] == ' ')
            ++i;
        if (i >= text.size() || text[i] == '|') break;
        const int high = HexDigit(text[i]);
        const int low = i + 1 < text.size() ? HexDigit(text[i + 1]) : -1;
        if (high < 0 || low < 0 || (i + 2 < text.size() && text[i + 2] != ' ')) {
            why = "not a byte in hex: " + ShowBytes(text.substr(i, 2));
            return false;
        }
        bytes.push_back(static_cast<char>(high * 16 + low));
        i += 2;
    }
    const std::string_view column = i < text.size() ? text.substr(i) : std::string_view();
    if (column.size() < 2 || column.front() != '|' || column.back() != '|') {
        why = "the text column between bars is missing";
        return false;
    }
    return true;
}

// "4  02 21 0D 00      |...|": the count and the first line's bytes.
bool ParseBurst(std::string_view text, int& count, std::string& bytes, std::string& why) {
    const std::size_t countEnd = text.find(' ');
    if (countEnd == std::string_view::npos || !ToInt(text.substr(0, countEnd), count) ||
        count <= 0 || count > kMaxBurstBytes) {
        why = "the byte count is missing or out of range";
        return false;
    }
    bytes.clear();
    return ParseHex(text.substr(countEnd), bytes, why);
}

// A burst whose lines have been read: its count must fit.
bool CheckCount(int lineNumber, int count, const std::string& bytes, std::string& error) {
    if (static_cast<int>(bytes.size()) == count) return true;
    return Fail(error, lineNumber,
                "the count says " + std::to_string(count) + " bytes, the lines hold " +
                    std::to_string(bytes.size()));
}

}  // namespace

bool ParseTrace(std::string_view text, Trace& trace, std::string& error) {
    trace = Trace{};
    Line line;
    std::string lineText;
    int number = 0;
    std::int64_t lastMs = -1;  // the time of the last timed line, days included
    int burstLine = 0;         // the burst being read, while its lines go on; else 0
    char burstKind = 0;
    int burstCount = 0;
    std::string burst;
    const auto endBurst = [&]() {
        if (burstLine == 0) return true;
        if (!CheckCount(burstLine, burstCount, burst, error)) return false;
        if (burstKind == 'W') {
            trace.steps.push_back(TraceStep{burstLine, line, lineText, std::move(burst), {}});
        } else {
            trace.steps.back().reply += burst;
        }
        burst.clear();
        burstLine = 0;
        return true;
    };
    while (!text.empty() || number == 0) {
        ++number;
        const std::size_t end = text.find('\n');
        std::string_view row = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!row.empty() && row.back() == '\r') row.remove_suffix(1);

        if (number == 1) {
            if (!row.starts_with(kHeader)) {
                return Fail(error, 1,
                            "not a Veltrix line trace (it must begin with \"" +
                                std::string(kHeader.substr(0, kHeader.size() - 2)) + "\")");
            }
            if (!ParseSettings(row, line, lineText)) {
                return Fail(error, 1, "the header does not end in the line settings");
            }
            continue;
        }
        // An indented line goes on with the burst before it.
        if (burstLine != 0 && row.starts_with(' ') && static_cast<int>(burst.size()) < burstCount) {
            std::string why;
            if (!ParseHex(row, burst, why)) return Fail(error, number, why);
            continue;
        }
        if (!endBurst()) return false;
        if (row.starts_with(kRunEnded)) {
            trace.ended = true;
            continue;
        }
        if (row.empty() || row.front() == '#') continue;
        const int ms = TimeMs(row.substr(0, 12));
        if (row.size() < 15 || ms < 0 || row[12] != ' ' || row[14] != ' ') {
            return Fail(error, number, "not a line of a trace (it must begin with HH:MM:SS.mmm)");
        }
        if (trace.ended) return Fail(error, number, "a line after the one that ends the run");
        // Midnight passed when the clock goes back by more than half a day.
        std::int64_t at = lastMs - lastMs % kDayMs + ms;
        if (lastMs >= 0 && at < lastMs) {
            if (lastMs - at <= kDayMs / 2) {
                return Fail(error, number,
                            "the time " + std::string(row.substr(0, 12)) +
                                " is earlier than the line before");
            }
            at += kDayMs;
        }
        lastMs = at;
        const char kind = row[13];
        const std::string_view rest = row.substr(15);
        if (kind == '=') {
            if (!ParseSettings(rest, line, lineText)) {
                return Fail(error, number, "the line settings are not PORT at RATE baud, 8N1");
            }
            continue;
        }
        if (kind != 'W' && kind != 'R') {
            return Fail(error, number,
                        "the direction must be W or R, not " + ShowBytes(row.substr(13, 1)));
        }
        if (kind == 'R' && trace.steps.empty()) {
            return Fail(error, number,
                        "bytes from the instrument (R) before any command (W): not an exchange");
        }
        std::string why;
        if (!ParseBurst(rest, burstCount, burst, why)) return Fail(error, number, why);
        burstLine = number;
        burstKind = kind;
    }
    if (!endBurst()) return false;
    trace.lineCount = number;
    if (trace.steps.empty()) {
        return Fail(error, number, "the trace ends without any exchange (no W line)");
    }
    return true;
}

bool ReadTraceFile(const std::string& path, Trace& trace, std::string& error) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        error = path + ": cannot open the trace";
        return false;
    }
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::size_t>(size) > kMaxFileBytes) {
        error = path + ": not a readable file of at most 64 MB";
        return false;
    }
    std::string text(static_cast<std::size_t>(size), '\0');
    in.seekg(0);
    in.read(text.data(), size);
    if (!ParseTrace(text, trace, error)) {
        error = path + ", " + error;
        return false;
    }
    return true;
}

std::string ShowBytes(std::string_view bytes) {
    return Hex(std::string(bytes)) + " |" + support::LineText(bytes) + "|";
}

}  // namespace sim
