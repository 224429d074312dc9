#include <climits>
#include <clocale>
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "support/ValueString.h"

namespace {

struct IntCase {
    const char* text;
    std::int32_t expected;
};

TEST(ValueStringRead, ToIntAndToLongWrapIn32Bits) {
    const IntCase cases[] = {
        {"4294967296", 0},
        {"2147483648", INT_MIN},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"99999999999", 1215752191},
        {"  +12x", 12},
        {" -7 ", -7},
        {"\t\n\v\f\r 5", 5},
        {"12abc", 12},
        {"", 0},
        {"abc", 0},
        {"+-5", 0},
        {"- 5", 0},
        {"0x1A", 0},
    };
    for (const auto& c : cases) {
        const ValueString value(c.text);
        EXPECT_EQ(value.ToInt(), c.expected) << c.text;
        EXPECT_EQ(value.ToLong(), c.expected) << c.text;
    }
}

TEST(ValueStringRead, ToULongFollowsStrtoulWithin32Bits) {
    const struct {
        const char* text;
        std::uint32_t expected;
    } cases[] = {
        {"4294967295", 4294967295u},
        {"4294967296", 4294967295u},
        {"99999999999999999999999", 4294967295u},
        {"-99999999999", 4294967295u},
        {"-1", 4294967295u},
        {"-5", 4294967291u},
        {"  +7z", 7u},
        {"", 0u},
        {"-", 0u},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueString(c.text).ToULong(), c.expected) << c.text;
}

TEST(ValueStringRead, HexToLongReadsThirtyTwoBitsAndGivesZeroWithoutDigits) {
    const IntCase cases[] = {
        {"ff", 255},      {"0xFF", 255},    {"0XaBc", 0xABC},
        {"  -1a", -26},   {"ffffffff", -1}, {"7fffffff", INT_MAX},
        {"100000001", 1}, {"0x1g", 1},      {"", 0},
        {"xyz", 0},       {"0x", 0},        {"-", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueString(c.text).HexToLong(), c.expected) << c.text;
}

TEST(ValueStringRead, ToDoubleAndToFloat) {
    EXPECT_EQ(ValueString("1.5").ToDouble(), 1.5);
    EXPECT_EQ(ValueString(" -2.5e3x").ToDouble(), -2500.0);
    EXPECT_EQ(ValueString("abc").ToDouble(), 0.0);
    EXPECT_EQ(ValueString("").ToDouble(), 0.0);
    EXPECT_TRUE(std::isinf(ValueString("1e400").ToDouble()));
    EXPECT_EQ(ValueString("0.1").ToFloat(), 0.1f);
    EXPECT_EQ(ValueString(std::string("2\0"
                                      "5",
                                      3))
                  .ToDouble(),
              2.0);
}

TEST(ValueStringRead, IsInteger) {
    const struct {
        const char* text;
        BOOL expected;
    } cases[] = {
        {" 42 ", TRUE},
        {"-5", TRUE},
        {"0", TRUE},
        {"-", TRUE},
        {"-0", TRUE},
        {"007", TRUE},
        {"99999999999999999999", TRUE},
        {"+5", FALSE},
        {"   ", FALSE},
        {"", FALSE},
        {"12-3", FALSE},
        {"1 2", FALSE},
        {"1.0", FALSE},
        {"abc", FALSE},
        {"--1", FALSE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueString(c.text).IsInteger(), c.expected) << c.text;
}

TEST(ValueStringRead, IsNumber) {
    const struct {
        const char* text;
        BOOL expected;
    } cases[] = {
        {"1.5E-3", TRUE}, {" 42 ", TRUE},   {".", TRUE},    {"-.", TRUE},    {"1e5.5", TRUE},
        {"-1e+5", TRUE},  {"+1", TRUE},     {"e5", FALSE},  {"5e", FALSE},   {"1e+", FALSE},
        {"+e5", FALSE},   {"1.2.3", FALSE}, {"1 5", FALSE}, {"", FALSE},     {"  ", FALSE},
        {"1e5e5", FALSE}, {"1-2", FALSE},   {"-", FALSE},   {"0x10", FALSE}, {"1,5", FALSE},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ValueString(c.text).IsNumber(), c.expected) << c.text;
}

// Switches the C locale to one that writes a decimal comma, and back.
class CommaLocale {
public:
    CommaLocale() : m_previous(std::setlocale(LC_ALL, nullptr)) {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if (std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ',') {
                m_active = true;
                return;
            }
        }
        std::setlocale(LC_ALL, m_previous.c_str());
    }
    ~CommaLocale() { std::setlocale(LC_ALL, m_previous.c_str()); }
    bool Active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

TEST(ValueStringRead, ConversionsIgnoreTheProcessLocale) {
    CommaLocale locale;
    if (!locale.Active()) GTEST_SKIP() << "no locale with a decimal comma is installed";
    EXPECT_EQ(ValueString("1.5").ToDouble(), 1.5);
    EXPECT_EQ(ValueString("2,5").ToDouble(), 2.0);
    ValueString out;
    out.AppendDouble(1.5);
    out.AppendChar(' ');
    out.AppendDoubleDigits(123.456);
    out.AppendChar(' ');
    out.AppendFloat(0.25f);
    EXPECT_EQ(out.text, "1.5 123.456 0.25");
}

}  // namespace
