#include "support/CodePage.h"

#include <array>

namespace support {
namespace {

// Characters of the bytes 0x80 to 0x9F. The five bytes the code page leaves undefined carry
// the control character of the same number, so they convert back and forth unchanged.
constexpr std::array<char16_t, 32> HighControlBlock = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// A lone surrogate finds no match and becomes '?' too.
char ToByte(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (std::size_t i = 0; i < HighControlBlock.size(); ++i) {
        if (HighControlBlock[i] == c) return static_cast<char>(0x80 + i);
    }
    return '?';
}

}  // namespace

std::string Utf16ToCodePage(std::u16string_view wide) {
    std::string out;
    out.reserve(wide.size());
    for (std::size_t i = 0; i < wide.size(); ++i) {
        // A surrogate pair is one character beyond the code page: one '?'.
        if (IsHighSurrogate(wide[i]) && i + 1 < wide.size() && IsLowSurrogate(wide[i + 1])) {
            out += '?';
            ++i;
            continue;
        }
        out += ToByte(wide[i]);
    }
    return out;
}

}  // namespace support
