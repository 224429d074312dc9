#include <climits>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "support/ValueString.h"

namespace {

template <typename Value>
std::string Appended(void (ValueString::*append)(Value), Value value) {
    ValueString out;
    (out.*append)(value);
    return out.text;
}

TEST(ValueStringAppend, AppendsWithoutSeparatorsAndKeepsZeroBytes) {
    ValueString out("x");
    out.AppendInt(1);
    out.AppendChar(',');
    out.AppendText(nullptr);
    out.AppendText("ab");
    out.AppendString(std::string("c\0d", 3));
    out.AppendChar('\0');
    EXPECT_EQ(out.text, std::string("x1,abc\0d\0", 9));
}

TEST(ValueStringAppend, DecimalAndHexadecimal) {
    EXPECT_EQ(Appended(&ValueString::AppendInt, INT_MIN), "-2147483648");
    EXPECT_EQ(Appended(&ValueString::AppendInt, 0), "0");
    EXPECT_EQ(Appended(&ValueString::AppendLong, std::int32_t{-5}), "-5");
    EXPECT_EQ(Appended(&ValueString::AppendULong, std::uint32_t{4294967295u}), "4294967295");
    EXPECT_EQ(Appended(&ValueString::AppendIntHex, -1), "ffffffff");
    EXPECT_EQ(Appended(&ValueString::AppendIntHex, 0xABCDEF), "abcdef");
    EXPECT_EQ(Appended(&ValueString::AppendLongHex, std::int32_t{INT_MIN}), "80000000");
    EXPECT_EQ(Appended(&ValueString::AppendULongHex, std::uint32_t{0}), "0");
    EXPECT_EQ(Appended(&ValueString::AppendULongHex, std::uint32_t{0x0F00}), "f00");
}

TEST(ValueStringAppend, GeneralFormHasAThreeDigitSignedExponent) {
    const struct {
        double value;
        const char* expected;
    } cases[] = {
        {1000000, "1e+006"},
        {0.00001, "1e-005"},
        {1.5, "1.5"},
        {100, "100"},
        {0, "0"},
        {-0.5, "-0.5"},
        {123456, "123456"},
        {1234567, "1.23457e+006"},
        {0.0001, "0.0001"},
        {1e-300, "1e-300"},
        {1e300, "1e+300"},
        {2.5e-10, "2.5e-010"},
        {999999.5, "1e+006"},
        {0.1, "0.1"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Appended(&ValueString::AppendDouble, c.value), c.expected) << c.value;
    }
    EXPECT_EQ(Appended(&ValueString::AppendFloat, 0.1f), "0.1");
    EXPECT_EQ(Appended(&ValueString::AppendFloat, 3e7f), "3e+007");
}

TEST(ValueStringAppend, SignificantDigitFormKeepsThePoint) {
    const struct {
        double value;
        const char* expected;
    } doubles[] = {
        {5, "5."},
        {123.456, "123.456"},
        {0.05, "5.e-002"},
        {0.5, "0.5"},
        {1e20, "1.e+020"},
        {0, "0."},
        {-5, "-5."},
        {0.1, "0.1"},
        {1.0 / 3, "0.333333333333333"},
        {1e14, "100000000000000."},
        {1e15, "1.e+015"},
        {123456789012345.6, "123456789012346."},
        {-2.5e-7, "-2.5e-007"},
    };
    for (const auto& c : doubles) {
        EXPECT_EQ(Appended(&ValueString::AppendDoubleDigits, c.value), c.expected) << c.value;
    }
    const struct {
        float value;
        const char* expected;
    } floats[] = {
        {0.1f, "0.1"},
        {123456.f, "123456."},
        {1234567.f, "1.23457e+006"},
        {0.05f, "5.e-002"},
        // Rounding to six digits carries into the next power of ten.
        {999999.6f, "1.e+006"},
    };
    for (const auto& c : floats) {
        EXPECT_EQ(Appended(&ValueString::AppendFloatDigits, c.value), c.expected) << c.value;
    }
}

TEST(ValueStringAppend, NonFiniteValuesStayReadable) {
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(Appended(&ValueString::AppendDouble, -inf), "-inf");
    EXPECT_EQ(Appended(&ValueString::AppendDoubleDigits, inf), "inf");
}

TEST(ValueStringAppend, WideTextBecomesTheSingleByteCodePage) {
    const struct {
        std::u16string wide;
        std::string expected;
    } cases[] = {
        {u"Abc", "Abc"},
        {u"\u00e9\u00ff\u00a0", "\xe9\xff\xa0"},
        {u"\u20ac\u2019\u0178", "\x80\x92\x9f"},
        {u"\u0081", "\x81"},
        {u"\u0080", "?"},
        {u"\u4e2d", "?"},
        {u"\U0001F600!", "?!"},
        {std::u16string(u"\xD800x", 2), "?x"},
        {std::u16string(u"a\0b", 3), std::string("a\0b", 3)},
    };
    for (const auto& c : cases) {
        ValueString out(">");
        out.AppendWide(c.wide);
        EXPECT_EQ(out.text, ">" + c.expected);
    }
}

}  // namespace
