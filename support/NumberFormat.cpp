#include "support/NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace support {
namespace {

// Large enough for any double in fixed notation with up to 16 fraction digits.
constexpr int BufferSize = 400;

std::string ToChars(double value, std::chars_format format, int precision) {
    char buffer[BufferSize];
    const auto result = std::to_chars(buffer, buffer + BufferSize, value, format, precision);
    return std::string(buffer, result.ptr);
}

// Rewrites the exponent after 'e' as a sign and at least three digits.
std::string WidenExponent(const std::string& number) {
    const auto e = number.find('e');
    if (e == std::string::npos) return number;
    std::string sign = "+";
    std::size_t digits = e + 1;
    if (digits < number.size() && (number[digits] == '+' || number[digits] == '-')) {
        sign = number.substr(digits, 1);
        ++digits;
    }
    std::string exponent = number.substr(digits);
    if (exponent.size() < 3) exponent.insert(0, 3 - exponent.size(), '0');
    return number.substr(0, e + 1) + sign + exponent;
}

// Removes the zeros at the end of the fraction, keeping the point.
std::string StripFractionZeros(const std::string& number) {
    const auto e = number.find('e');
    std::string mantissa = number.substr(0, e);
    const std::string exponent = e == std::string::npos ? "" : number.substr(e);
    if (mantissa.find('.') == std::string::npos) mantissa += '.';
    while (mantissa.back() == '0')
        mantissa.pop_back();
    return mantissa + exponent;
}

}  // namespace

std::string FormatGeneral(double value) {
    return WidenExponent(ToChars(value, std::chars_format::general, 6));
}

std::string FormatSignificant(double value, int digits) {
    if (!std::isfinite(value)) return ToChars(value, std::chars_format::general, 6);
    // The exponent after rounding to the wanted digits: 9.9999999 with 6 digits is 10.0000.
    const std::string scientific = ToChars(value, std::chars_format::scientific, digits - 1);
    const int exponent = std::atoi(scientific.c_str() + scientific.find('e') + 1);
    if (exponent >= -1 && exponent <= digits - 1) {
        return StripFractionZeros(ToChars(value, std::chars_format::fixed, digits - 1 - exponent));
    }
    return WidenExponent(StripFractionZeros(scientific));
}

}  // namespace support
