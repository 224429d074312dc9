#include "support/NumberText.h"

#include "support/CLocaleNumber.h"

namespace support {
namespace {

// Position after the leading white space and one optional sign; negative tells the sign.
std::size_t SkipToDigits(std::string_view text, bool& negative) {
    std::size_t pos = 0;
    while (pos < text.size() && IsWhiteSpace(text[pos]))
        ++pos;
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    return pos;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

int HexDigitValue(char c) {
    if (IsDigit(c)) return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool IsWhiteSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::int32_t ParseWrappedDecimal(std::string_view text) {
    bool negative = false;
    std::uint32_t value = 0;
    for (std::size_t pos = SkipToDigits(text, negative); pos < text.size() && IsDigit(text[pos]);
         ++pos) {
        value = value * 10u + static_cast<std::uint32_t>(text[pos] - '0');
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

std::uint32_t ParseUnsignedDecimal(std::string_view text) {
    constexpr std::uint64_t Max = 0xFFFFFFFFu;
    bool negative = false;
    std::uint64_t value = 0;
    bool overflow = false;
    for (std::size_t pos = SkipToDigits(text, negative); pos < text.size() && IsDigit(text[pos]);
         ++pos) {
        value = value * 10u + static_cast<std::uint64_t>(text[pos] - '0');
        if (value > Max) {
            overflow = true;
            value = Max;
        }
    }
    if (overflow) return static_cast<std::uint32_t>(Max);
    const auto result = static_cast<std::uint32_t>(value);
    return negative ? 0u - result : result;
}

std::int32_t ParseHex(std::string_view text) {
    bool negative = false;
    std::size_t pos = SkipToDigits(text, negative);
    if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
        pos += 2;
    std::uint32_t value = 0;
    for (; pos < text.size() && HexDigitValue(text[pos]) >= 0; ++pos) {
        value = value * 16u + static_cast<std::uint32_t>(HexDigitValue(text[pos]));
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

double ParseDouble(const std::string& text) {
    return StrtodInCLocale(text.c_str());
}

}  // namespace support
