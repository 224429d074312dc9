#include "support/LineText.h"

#include <algorithm>
#include <array>

namespace support {
namespace {

constexpr std::array<std::string_view, 32> kControlNames{
    "NUL", "SOH", "STX", "ETX", "EOT", "ENQ", "ACK", "BEL", "BS",  "HT",  "LF",
    "VT",  "FF",  "CR",  "SO",  "SI",  "DLE", "DC1", "DC2", "DC3", "DC4", "NAK",
    "SYN", "ETB", "CAN", "EM",  "SUB", "ESC", "FS",  "GS",  "RS",  "US"};
constexpr char kEtx = 0x03;

std::string HexByte(unsigned char byte) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    return {kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

}  // namespace

std::string LineText(std::string_view bytes) {
    return LineText(bytes, 0, bytes.size());
}

std::string LineText(std::string_view bytes, std::size_t first, std::size_t count) {
    std::string text;
    bool checksumNext = false;
    first = std::min(first, bytes.size());
    const std::size_t end = first + std::min(count, bytes.size() - first);
    for (std::size_t i = 0; i < end; ++i) {
        const char c = bytes[i];
        const auto byte = static_cast<unsigned char>(c);
        if (i < first) {
            // The bytes before only set the frame state.
        } else if (checksumNext) {
            text += "<sum " + HexByte(byte) + ">";
        } else if (byte < kControlNames.size()) {
            text += "<" + std::string(kControlNames[byte]) + ">";
        } else if (byte == 0x7F) {
            text += "<DEL>";
        } else if (byte > 0x7F) {
            text += "<" + HexByte(byte) + ">";
        } else {
            text += c;
        }
        checksumNext = c == kEtx && !checksumNext;
    }
    return text;
}

}  // namespace support
