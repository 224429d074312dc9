#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/testkit/ScriptedDevice.h"
#include "tests/testkit/VirtualTime.h"
#include "tests/testkit/Wire.h"

namespace {

using testkit_test::Frame;

// The caller's settings, chosen apart from the reader's own so a missed restore shows.
constexpr int kCallerTimeout = 750;
constexpr char kCallerTerminator = '\r';

class ReplyReader : public ::testing::Test {
protected:
    ReplyReader() {
        device.SetTimeout(kCallerTimeout);
        device.SetTerminator(kCallerTerminator);
    }
    void ExpectSettingsRestored() {
        EXPECT_EQ(device.GetTimeout(), kCallerTimeout);
        EXPECT_EQ(device.GetTerminator(), kCallerTerminator);
        EXPECT_EQ(device.TimeoutChanges().back(), kCallerTimeout);
        EXPECT_EQ(device.TerminatorChanges().back(), kCallerTerminator);
    }

    testkit_test::VirtualTime time;
    testkit_test::ScriptedDevice device{time.clock};
};

const std::string kOk = "\x02OK\x03\x05\r";

struct GoodReply {
    const char* name;
    std::vector<std::string> chunks;  // silence after each
    BOOL expectCR;
    std::string text;
};

class GoodReplies : public ReplyReader, public ::testing::WithParamInterface<GoodReply> {};

TEST_P(GoodReplies, GiveTheTextWithoutPauseAndKeepTheLastError) {
    for (const std::string& chunk : GetParam().chunks)
        device.Arrive(chunk);
    device.SetLastErrorText("untouched");
    std::string text = "old";
    EXPECT_EQ(device.ReadKelvaString(text, GetParam().expectCR),
              static_cast<int>(GetParam().text.size()));
    EXPECT_EQ(text, GetParam().text);
    EXPECT_EQ(device.GetLastErrorText(), "untouched");
    EXPECT_TRUE(time.clock.Pauses().empty());
    ExpectSettingsRestored();
}

// Checksums equal to STX, ETX and CR are read as the single byte after the ETX.
INSTANTIATE_TEST_SUITE_P(
    Replies, GoodReplies,
    ::testing::Values(GoodReply{"Ok", {kOk}, TRUE, "OK"},
                      GoodReply{"EmptyText", {"\x02\x03\x01\r"}, TRUE, ""},
                      GoodReply{"NoiseBeforeStx", {"\r\n\x01" + kOk}, TRUE, "OK"},
                      GoodReply{"ChecksumIsStx", {Frame("12")}, TRUE, "12"},
                      GoodReply{"ChecksumIsEtx", {Frame("13")}, TRUE, "13"},
                      GoodReply{"ChecksumIsCr", {Frame("1=")}, TRUE, "1="},
                      GoodReply{"EtxInSecondRead", {"\x02OK", "\x03\x05\r"}, TRUE, "OK"},
                      GoodReply{"NoCrNotExpected", {"\x02OK\x03\x05"}, FALSE, "OK"}),
    [](const ::testing::TestParamInfo<GoodReply>& test) { return test.param.name; });

struct BadReply {
    const char* name;
    std::vector<std::string> chunks;  // silence after each
    int code;
    std::string reason;  // the message after "ERR: <code> ReadKelvaString - "
    std::size_t pauses;  // of 100 ms each
};

class BadReplies : public ReplyReader, public ::testing::WithParamInterface<BadReply> {};

TEST_P(BadReplies, GiveCodeMessageAndPauses) {
    const BadReply& c = GetParam();
    for (const std::string& chunk : c.chunks)
        device.Arrive(chunk);
    std::string text = "old";
    EXPECT_EQ(device.ReadKelvaStringCR(text), c.code);
    EXPECT_EQ(text, "");
    EXPECT_EQ(device.GetLastErrorText(),
              "ERR: " + std::to_string(c.code) + " ReadKelvaString - " + c.reason);
    EXPECT_EQ(time.clock.Pauses(), std::vector<int>(c.pauses, 100));
    ExpectSettingsRestored();
}

INSTANTIATE_TEST_SUITE_P(
    Replies, BadReplies,
    ::testing::Values(
        BadReply{"Silence", {}, -1, "nothing read, 0 bytes read", 0},
        BadReply{"NoStx", {"abc\x03"}, -2, "string read but Stx not found, 4 bytes read", 1},
        BadReply{"NoEtx", {"\x02OK"}, -3, "string read but Etx not found, 3 bytes read", 1},
        BadReply{"NoEtxAfterSecondRead",
                 {"\x02OK", "0123456789"},
                 -3,
                 "string read but Etx not found, 13 bytes read",
                 2},
        BadReply{"NoChecksum",
                 {"\x02OK\x03"},
                 -4,
                 "string read but Checksum not found, 4 bytes read",
                 1},
        BadReply{"ChecksumAfterSilence",
                 {"\x02OK\x03", "\x05\r"},
                 -4,
                 "string read but Checksum not found, 4 bytes read",
                 1},
        BadReply{"NoCr", {"\x02OK\x03\x05"}, -5, "string read but <CR> not found, 4 bytes read", 1},
        BadReply{"OtherByteForCr",
                 {"\x02OK\x03\x05\n"},
                 -5,
                 "string read but <CR> not found, 4 bytes read",
                 1},
        BadReply{
            "ChecksumWrong", {"\x02OK\x03\x06\r"}, -6, "Checksum did not fit, 4 bytes read", 1},
        BadReply{
            "NoiseIsCounted", {"\r\x02OK\x03\x06\r"}, -6, "Checksum did not fit, 5 bytes read", 1},
        BadReply{
            "TenBytes", {"012345678\x03"}, -2, "string read but Stx not found, 10 bytes read", 1},
        BadReply{"ElevenBytes",
                 {"0123456789\x03"},
                 -2,
                 "string read but Stx not found, 11 bytes read",
                 2},
        BadReply{"TwentyBytes",
                 {"0123456789012345678\x03"},
                 -2,
                 "string read but Stx not found, 20 bytes read",
                 2},
        BadReply{"TwentyOneBytes",
                 {"01234567890123456789\x03"},
                 -2,
                 "string read but Stx not found, 21 bytes read",
                 3}),
    [](const ::testing::TestParamInfo<BadReply>& test) { return test.param.name; });

TEST_F(ReplyReader, WrappersSelectTheCr) {
    std::string text;
    device.Arrive("\x02OK\x03\x05");
    EXPECT_EQ(device.ReadKelvaStringNoCR(text), 2);
    device.Arrive("\x02OK\x03\x05");
    EXPECT_EQ(device.ReadKelvaStringCR(text), -5);
}

TEST_F(ReplyReader, TextIsReadUnderTheCallersTimeoutAndTrailerUnder100ms) {
    std::string text;
    EXPECT_EQ(device.ReadKelvaStringCR(text), -1);
    EXPECT_EQ(time.clock.NowMs(), kCallerTimeout);  // one silent read, no pause

    device.Arrive("\x02OK\x03\x05");
    EXPECT_EQ(device.ReadKelvaStringCR(text), -5);
    // The missing CR costs 100 ms of silence, then one pause for the 4 bytes.
    EXPECT_EQ(time.clock.NowMs(), kCallerTimeout + 100 + 100);
    EXPECT_EQ(device.TimeoutChanges(),
              (std::vector<int>{kCallerTimeout, kCallerTimeout, 100, kCallerTimeout}));
}

TEST_F(ReplyReader, StrayEtxBeforeTheReplyLeavesTheReplyUnread) {
    device.Arrive("\x03" + kOk);
    std::string text;
    EXPECT_EQ(device.ReadKelvaStringCR(text), -2);
    EXPECT_EQ(device.GetLastErrorText(),
              "ERR: -2 ReadKelvaString - string read but Stx not found, 1 bytes read");
    EXPECT_EQ(device.Unread(), kOk);
    EXPECT_EQ(device.ReadKelvaStringCR(text), 2);
    EXPECT_EQ(text, "OK");
}

TEST_F(ReplyReader, LastErrorStaysThroughLaterSuccess) {
    std::string text;
    EXPECT_EQ(device.ReadKelvaStringCR(text), -1);
    device.Arrive(kOk);
    EXPECT_EQ(device.ReadKelvaStringCR(text), 2);
    EXPECT_EQ(device.GetLastErrorText(), "ERR: -1 ReadKelvaString - nothing read, 0 bytes read");
}

TEST_F(ReplyReader, EveryOneByteTextRoundTrips) {
    for (int value = 0; value < 256; ++value) {
        if (value == 0x03) continue;  // a text never holds ETX
        const std::string sent(1, static_cast<char>(value));
        device.Arrive(Frame(sent));
        std::string text;
        ASSERT_EQ(device.ReadKelvaStringCR(text), 1) << "byte " << value;
        EXPECT_EQ(text, sent);
        device.PurgeInput();
    }
}

// Whatever the line delivers, the reader returns one of its results, keeps its text within
// what was received and restores the caller's settings.
TEST_F(ReplyReader, AnyBytesFromTheLineAreHandled) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 40);
    const std::string controlBytes = "\x02\x03\r";
    for (int round = 0; round < 3000; ++round) {
        std::string all;
        for (int chunks = round % 4; chunks > 0; --chunks) {
            std::string chunk;
            for (int n = length(random); n > 0; --n) {
                // Favour the control bytes so that every path is reached.
                chunk.push_back(byte(random) < 96 ? controlBytes[byte(random) % 3]
                                                  : static_cast<char>(byte(random)));
            }
            device.Arrive(chunk);
            all += chunk;
        }
        std::string text;
        const int result = device.ReadKelvaString(text, round % 2);
        ASSERT_GE(result, -6);
        if (result >= 0) {
            EXPECT_EQ(static_cast<int>(text.size()), result);
            EXPECT_NE(all.find(text), std::string::npos);
            EXPECT_EQ(text.find('\x03'), std::string::npos);
        } else {
            EXPECT_EQ(text, "");
        }
        ASSERT_EQ(device.GetTimeout(), kCallerTimeout);
        ASSERT_EQ(device.GetTerminator(), kCallerTerminator);
        device.PurgeInput();
    }
}

}  // namespace
