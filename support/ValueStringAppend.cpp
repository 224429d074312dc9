#include <charconv>

#include "support/CodePage.h"
#include "support/NumberFormat.h"
#include "support/ValueString.h"

// Appending texts and numbers; nothing is ever inserted between appended pieces.

namespace {

template <typename Integer>
std::string IntegerText(Integer value, int base) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, base);
    return std::string(buffer, result.ptr);
}

}  // namespace

void ValueString::AppendWide(const std::u16string& wide) {
    text += support::Utf16ToCodePage(wide);
}

void ValueString::AppendChar(char c) {
    text += c;
}

void ValueString::AppendText(const char* value) {
    if (value) text += value;
}

void ValueString::AppendString(const std::string& value) {
    text += value;
}

void ValueString::AppendDouble(double value) {
    text += support::FormatGeneral(value);
}

void ValueString::AppendFloat(float value) {
    text += support::FormatGeneral(static_cast<double>(value));
}

void ValueString::AppendULong(std::uint32_t value) {
    text += IntegerText(value, 10);
}

void ValueString::AppendLong(std::int32_t value) {
    text += IntegerText(value, 10);
}

void ValueString::AppendInt(int value) {
    text += IntegerText(value, 10);
}

void ValueString::AppendDoubleDigits(double value) {
    text += support::FormatSignificant(value, 15);
}

void ValueString::AppendFloatDigits(float value) {
    text += support::FormatSignificant(static_cast<double>(value), 6);
}

// Negative values are written as their 32-bit two's-complement pattern.
void ValueString::AppendULongHex(std::uint32_t value) {
    text += IntegerText(value, 16);
}

void ValueString::AppendLongHex(std::int32_t value) {
    text += IntegerText(static_cast<std::uint32_t>(value), 16);
}

void ValueString::AppendIntHex(int value) {
    text += IntegerText(static_cast<std::uint32_t>(value), 16);
}
