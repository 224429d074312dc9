#include <gtest/gtest.h>

#include <string>

#include "sim/Json.h"
#include "sim/Log.h"

namespace {

using sim::Direction;

TEST(SimLogLine, WritesOneAsciiObjectPerEntryWithEveryByteEscapedAsItsCodePoint) {
    const struct {
        sim::LogEntry entry;
        std::string_view line;
    } cases[] = {
        {{1712345678901, Direction::Received, "DB CNF WRITE", ""},
         R"({"t":1712345678901,"dir":"rx","text":"DB CNF WRITE"})"},
        {{5, Direction::Sent, "S", "02 53 0D"},
         R"({"t":5,"dir":"tx","text":"S","note":"02 53 0D"})"},
        {{0, Direction::Dropped, std::string("\x02\"\\\xE9\r\0", 6), ""},
         R"({"t":0,"dir":"drop","text":"\u0002\"\\\u00e9\r\u0000"})"},
    };
    for (const auto& c : cases) {
        const std::string line = sim::JsonLine(c.entry);
        EXPECT_EQ(line, c.line);

        sim::json::Json parsed;
        std::string error, text;
        ASSERT_TRUE(sim::json::ParseObject(line, parsed, error)) << error;
        ASSERT_TRUE(sim::json::ToBytes(parsed["text"], text));
        EXPECT_EQ(text, c.entry.text);
    }
}

TEST(SimLogLine, EveryByteSurvivesTheTripThroughJson) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    std::string back;
    ASSERT_TRUE(sim::json::ToBytes(sim::json::FromBytes(all), back));
    EXPECT_EQ(back, all);
    const std::string dumped = sim::json::Dump(sim::json::FromBytes(all));
    for (const char c : dumped)
        EXPECT_TRUE(c >= 0x20 && c < 0x7F) << static_cast<int>(c);
}

}  // namespace
