#include "support/ValueString.h"

#include <algorithm>

#include "support/NumberText.h"

// Searching, reading numbers, syntax tests and trimming.

namespace {

std::string TrimmedCopy(const std::string& text) {
    const auto begin = std::find_if_not(text.begin(), text.end(), support::IsWhiteSpace);
    const auto end = std::find_if_not(text.rbegin(), text.rend(), support::IsWhiteSpace).base();
    return begin < end ? std::string(begin, end) : std::string();
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
bool IsSign(char c) {
    return c == '+' || c == '-';
}

}  // namespace

void ValueString::Clear(int nReserve) {
    text.clear();
    if (nReserve >= 1) text.reserve(static_cast<std::size_t>(nReserve));
}

int ValueString::ReverseFind(const std::string& sub) const {
    const auto pos = text.rfind(sub);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

BOOL ValueString::IsInteger() const {
    const std::string stripped = TrimmedCopy(text);
    if (stripped.empty()) return FALSE;
    // A text that reads back as itself is an integer at once ('-5', '0').
    ValueString canonical;
    canonical.AppendLong(ToLong());
    if (canonical.text == stripped) return TRUE;
    // Otherwise digits with an optional leading '-': '007', '-0' and digit strings too long for
    // 32 bits count as integers too.
    for (std::size_t pos = 0; pos < stripped.size(); ++pos) {
        if (!IsDigit(stripped[pos]) && !(pos == 0 && stripped[pos] == '-')) return FALSE;
    }
    return TRUE;
}

BOOL ValueString::IsNumber() const {
    std::string lower = text;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    const std::string number = TrimmedCopy(lower);
    if (number.empty()) return FALSE;
    if (number.find_first_not_of("0123456789e+-.") != std::string::npos) return FALSE;

    int exponents = 0;
    int points = 0;
    int signs = 0;
    int lastExponent = -1;
    for (std::size_t pos = 0; pos < number.size(); ++pos) {
        const char c = number[pos];
        if (c == 'e') {
            if (pos == 0) return FALSE;
            ++exponents;
            lastExponent = static_cast<int>(pos);
        } else if (c == '.') {
            ++points;
        } else if (IsSign(c)) {
            // A sign opens the number or its exponent.
            if (static_cast<int>(pos) != lastExponent + 1) return FALSE;
            ++signs;
        }
    }
    if (exponents > 1 || points > 1 || signs > 2) return FALSE;
    if (lastExponent > 0 && IsSign(number[lastExponent - 1])) return FALSE;
    const char last = number.back();
    return last == 'e' || IsSign(last) ? FALSE : TRUE;
}

int ValueString::ToInt() const {
    return support::ParseWrappedDecimal(text);
}

std::int32_t ValueString::ToLong() const {
    return support::ParseWrappedDecimal(text);
}

std::uint32_t ValueString::ToULong() const {
    return support::ParseUnsignedDecimal(text);
}

double ValueString::ToDouble() const {
    return support::ParseDouble(text);
}

float ValueString::ToFloat() const {
    return static_cast<float>(support::ParseDouble(text));
}

std::int32_t ValueString::HexToLong() const {
    return support::ParseHex(text);
}

void ValueString::Trim() {
    const auto begin = std::find_if_not(text.begin(), text.end(), support::IsWhiteSpace);
    text.erase(text.begin(), begin);
    const auto end = std::find_if_not(text.rbegin(), text.rend(), support::IsWhiteSpace).base();
    text.erase(end, text.end());
}
