// Bytes from the line as a reader sees them: control bytes by name, the checksum marked.

#include <gtest/gtest.h>

#include <string>

#include "support/LineText.h"

namespace {

using namespace std::string_literals;

TEST(LineTextTest, ControlBytesAreNamedAndTheChecksumIsMarked) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"\x02+VT\r", "<STX>+VT<CR>"},
        // The checksum of "+" is '+' itself; marked, it is not read as a second '+'.
        {"\x02+\x03+\r", "<STX>+<ETX><sum 2B><CR>"},
        // A checksum that is an ETX is not taken for a second ETX.
        {"\x02\x02\x03\x03\r", "<STX><STX><ETX><sum 03><CR>"},
        {"\x02!\r\0"s, "<STX>!<CR><NUL>"},
        {"a\x1b[2J\x7f\x80\xff", "a<ESC>[2J<DEL><80><FF>"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(support::LineText(c.bytes), c.text) << c.text;
}

TEST(LineTextTest, APieceKnowsWhetherItBeginsWithAChecksum) {
    const std::string frame = "\x02OK\x03\x05\r";
    EXPECT_EQ(support::LineText(frame, 4, 2), "<sum 05><CR>");
    EXPECT_EQ(support::LineText(frame, 3, 1), "<ETX>");
    EXPECT_EQ(support::LineText(frame, 5, 99), "<CR>");
    EXPECT_EQ(support::LineText(frame, 99, 1), "");
}

}  // namespace
