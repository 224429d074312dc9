#include "tests/testkit/Wire.h"

#include <cstdio>

namespace testkit_test {

std::string Frame(std::string_view text, bool withCR) {
    std::string frame = "\x02";
    frame.append(text);
    frame.push_back('\x03');
    unsigned char checksum = 0;
    for (char c : frame)
        checksum ^= static_cast<unsigned char>(c);
    frame.push_back(static_cast<char>(checksum));
    if (withCR) frame.push_back('\r');
    return frame;
}

std::string ShortFrame(std::string_view text) {
    std::string frame = "\x02";
    frame.append(text);
    frame.push_back('\r');
    return frame;
}

std::optional<Unframed> Unframe(std::string_view written) {
    if (written.size() < 2 || written.front() != '\x02' || written.back() != '\r') return {};
    const bool checksummed = written.size() >= 4 && written[written.size() - 3] == '\x03';
    std::string text(written.substr(1, written.size() - (checksummed ? 4 : 2)));
    if (text.find_first_of(std::string_view("\x02\x03\r")) != std::string::npos) return {};
    if (checksummed && Frame(text) != written) return {};
    return Unframed{std::move(text), checksummed};
}

std::string Hex(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        char digits[4];
        std::snprintf(digits, sizeof digits, "%02X", static_cast<unsigned char>(c));
        if (!out.empty()) out.push_back(' ');
        out.append(digits);
    }
    return out;
}

std::string Hex(const std::vector<std::string>& entries) {
    std::string out;
    for (const std::string& entry : entries)
        out.append(Hex(entry)).push_back('\n');
    return out;
}

}  // namespace testkit_test
