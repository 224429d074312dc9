#include "framework/IntegerText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct Case {
    std::string text;
    std::optional<int> expected;
};

class ParseIntegerTest : public testing::TestWithParam<Case> {};

TEST_P(ParseIntegerTest, ReadsWhatAnEditBoxAcceptsAsAnInteger) {
    EXPECT_EQ(framework::ParseInteger(GetParam().text), GetParam().expected)
        << "text: '" << GetParam().text << "'";
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParseIntegerTest,
    testing::Values(Case{"0", 0}, Case{"440", 440}, Case{"-7", -7}, Case{"+3", 3}, Case{"  12", 12},
                    Case{"12  ", 12}, Case{"\t-5\t", -5}, Case{"007", 7},
                    Case{"2147483647", 2147483647}, Case{"-2147483648", -2147483647 - 1},
                    // No integer:
                    Case{"", std::nullopt}, Case{"   ", std::nullopt}, Case{"-", std::nullopt},
                    Case{"+", std::nullopt}, Case{"+-1", std::nullopt}, Case{"--1", std::nullopt},
                    Case{"- 1", std::nullopt}, Case{"1 2", std::nullopt}, Case{"4x", std::nullopt},
                    Case{"x4", std::nullopt}, Case{"1.5", std::nullopt}, Case{"0x10", std::nullopt},
                    Case{"1e3", std::nullopt}, Case{"2147483648", std::nullopt},
                    Case{"-2147483649", std::nullopt}, Case{"99999999999999999999", std::nullopt},
                    Case{std::string("1\0", 2), std::nullopt}));

}  // namespace
