#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/engine/SheetFixture.h"
#include "tests/testkit/ScriptedInstrument.h"
#include "tests/testkit/Wire.h"

namespace engine_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using Writes = std::vector<std::string>;

constexpr int kLimit = CVeltrixInstrumentSettingsDlg::kReadyWaitLimitMs;

// The same transaction in both framings: the checksummed frame for "+VT", the short frame for
// every other stored type.
class ReadyPollTest : public SheetFixture, public ::testing::WithParamInterface<const char*> {
protected:
    bool Framed() const { return std::string(GetParam()) == "+VT"; }
    std::string Wire(const std::string& text) const {
        return Framed() ? testkit_test::Frame(text) : testkit_test::ShortFrame(text);
    }
    std::string Poll() const {
        return Framed() ? testkit_test::Frame("??") : testkit_test::ShortFrame("?");
    }
    // What follows an error reply: nothing framed, "H" in the short frame.
    Writes AfterError() const {
        return Framed() ? Writes{} : Writes{testkit_test::ShortFrame("H")};
    }
    void ExpectWrites(const Writes& expected) const {
        EXPECT_EQ(port->Writes(), expected) << testkit_test::Hex(port->Writes());
    }
};

TEST_P(ReadyPollTest, ReadyAtOnceSendsOnePollThenTheCommand) {
    Connect(GetParam());
    testkit_test::ScriptedInstrument instrument(*port, GetParam());
    EXPECT_EQ(sheet->SendCommand("MM0"), TRUE);
    ExpectWrites({Poll(), Wire("MM0")});
    EXPECT_THAT(time.clock.Pauses(), ElementsAre(300));
    EXPECT_EQ(port->GetTimeout(), 600);
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_P(ReadyPollTest, OneErrorThenReadySendsTheCommandButFails) {
    Connect(GetParam());
    testkit_test::ScriptedInstrument instrument(*port, GetParam());
    instrument.Queue("?", {"ERR 17"});
    EXPECT_EQ(sheet->SendCommand("MM0"), FALSE);
    Writes expected{Poll()};
    for (const std::string& w : AfterError())
        expected.push_back(w);
    expected.push_back(Poll());
    expected.push_back(Wire("MM0"));
    ExpectWrites(expected);
    EXPECT_THAT(Boxes(), ElementsAre("ERR 17"));
    EXPECT_EQ(host.Boxes()[0].icon, framework::MessageIcon::Warning);
    // Each poll is paced; the "H" after an error waits its own pause.
    EXPECT_EQ(time.clock.Pauses().size(), Framed() ? 2u : 3u);
}

TEST_P(ReadyPollTest, ThirdErrorGivesUpWithoutSending) {
    Connect(GetParam());
    testkit_test::ScriptedInstrument instrument(*port, GetParam());
    instrument.Queue("?", {"ERR 1", "ERR 2", "ERR 3", "S"});
    EXPECT_EQ(sheet->SendCommand("MM0"), FALSE);
    Writes expected;
    for (int i = 0; i < 3; ++i) {
        expected.push_back(Poll());
        for (const std::string& w : AfterError())
            expected.push_back(w);
    }
    ExpectWrites(expected);
    EXPECT_THAT(Boxes(), ElementsAre("ERR 1", "ERR 2", "ERR 3"));
    EXPECT_THAT(instrument.Commands(), IsEmpty());
}

TEST_P(ReadyPollTest, OnlyExactlyErrStartsAnErrorReply) {
    Connect(GetParam());
    testkit_test::ScriptedInstrument instrument(*port, GetParam());
    instrument.Queue("?", {"ER", "Err 4", "s", "S "});
    EXPECT_EQ(sheet->SendCommand("MM0"), TRUE);
    EXPECT_EQ(instrument.Polls(), 5);
    EXPECT_THAT(instrument.Commands(), ElementsAre("MM0"));
    EXPECT_THAT(Boxes(), IsEmpty());
}

TEST_P(ReadyPollTest, BusyInstrumentIsGivenUpAfterTheWaitLimit) {
    Connect(GetParam());
    testkit_test::ScriptedInstrument instrument(*port, GetParam());
    instrument.Queue("?", testkit_test::ScriptedInstrument::Replies(1000, "B"));
    EXPECT_EQ(sheet->SendCommand("MM0"), FALSE);
    EXPECT_THAT(instrument.Commands(), IsEmpty());
    EXPECT_THAT(Boxes(), ElementsAre(HasSubstr("did not report ready within 30 s")));
    // A busy answer comes at once: every poll costs its 300 ms pause alone.
    EXPECT_EQ(instrument.Polls(), kLimit / 300);
    EXPECT_EQ(Elapsed(), kLimit);
}

// Once a wait ran out, later commands poll once each and say nothing more, until a poll is
// answered; then the next wait is whole again.
TEST_P(ReadyPollTest, AfterAWaitThatRanOutCommandsPollOnceUntilTheInstrumentIsReady) {
    Connect(GetParam());
    testkit_test::ScriptedInstrument instrument(*port, GetParam());
    instrument.Queue("?", testkit_test::ScriptedInstrument::Replies(kLimit / 300 + 1, "B"));
    EXPECT_EQ(sheet->SendCommand("MM0"), FALSE);
    EXPECT_EQ(instrument.Polls(), kLimit / 300);
    EXPECT_EQ(sheet->SendCommand("MM1"), FALSE);
    EXPECT_EQ(instrument.Polls(), kLimit / 300 + 1);
    EXPECT_THAT(Boxes(), ElementsAre(HasSubstr("did not report ready within 30 s")));
    EXPECT_EQ(sheet->SendCommand("MM2"), TRUE);
    EXPECT_THAT(instrument.Commands(), ElementsAre("MM2"));

    instrument.Queue("?", testkit_test::ScriptedInstrument::Replies(kLimit / 300, "B"));
    EXPECT_EQ(sheet->SendCommand("MM3"), FALSE);
    EXPECT_EQ(instrument.Polls(), 2 * (kLimit / 300) + 2);
    EXPECT_EQ(Boxes().size(), 2u);
}

TEST_P(ReadyPollTest, SilentInstrumentIsGivenUpAfterTheWaitLimit) {
    Connect(GetParam());
    EXPECT_EQ(sheet->SendCommand("MM0"), FALSE);
    EXPECT_THAT(port->Writes(), ::testing::Each(Poll()));
    EXPECT_THAT(Boxes(), ElementsAre(HasSubstr("did not report ready within 30 s")));
    // Each poll: the pause and a read that times out after 600 ms.
    EXPECT_GE(Elapsed(), kLimit);
    EXPECT_LT(Elapsed(), kLimit + 900);
}

// A box the user leaves open does not count towards the wait for the instrument.
TEST_P(ReadyPollTest, AnErrorBoxLeftOpenPastTheWaitLimitStillSendsTheCommand) {
    Connect(GetParam());
    testkit_test::ScriptedInstrument instrument(*port, GetParam());
    host.SetBoxHook([this](const framework::RecordedBox&) { time.clock.Advance(kLimit + 5000); });
    instrument.Queue("?", {"ERR 5"});
    EXPECT_EQ(sheet->SendCommand("MM0"), FALSE);
    EXPECT_THAT(instrument.Commands(), ElementsAre("MM0"));
    EXPECT_THAT(Boxes(), ElementsAre("ERR 5"));
}

TEST_P(ReadyPollTest, TheWaitLimitCountsOnlyTheTimeSpentOnTheInstrument) {
    Connect(GetParam());
    testkit_test::ScriptedInstrument instrument(*port, GetParam());
    constexpr int kBoxOpenMs = 20000;
    host.SetBoxHook([this](const framework::RecordedBox&) { time.clock.Advance(kBoxOpenMs); });
    testkit_test::ScriptedInstrument::Replies replies{"ERR 1", "ERR 2"};
    replies.resize(1000, "B");
    instrument.Queue("?", replies);
    EXPECT_EQ(sheet->SendCommand("MM0"), FALSE);
    EXPECT_THAT(instrument.Commands(), IsEmpty());
    EXPECT_THAT(Boxes(),
                ElementsAre("ERR 1", "ERR 2", HasSubstr("did not report ready within 30 s")));
    // Every poll and every "H" costs its 300 ms pause alone; the boxes' time comes on top
    // (the last one's after the wait).
    EXPECT_EQ(Elapsed(), kLimit + 3 * kBoxOpenMs);
}

TEST_P(ReadyPollTest, ALateReplyFromAnEarlierExchangeIsDroppedBeforeThePoll) {
    Connect(GetParam());
    testkit_test::ScriptedInstrument instrument(*port, GetParam());
    port->Arrive(Wire("+"));
    EXPECT_EQ(sheet->SendCommand("MM0"), TRUE);
    ExpectWrites({Poll(), Wire("MM0")});
    std::string reply;
    sheet->ReadReply(reply);
    EXPECT_EQ(reply, "+");
    EXPECT_EQ(port->Unread(), "");
}

INSTANTIATE_TEST_SUITE_P(Framings, ReadyPollTest, ::testing::Values("+VT", "+MV", ""));

class ShortFrameTest : public SheetFixture {
protected:
    void SetUp() override { Connect("+DL"); }
};

TEST_F(ShortFrameTest, ReadyReplyIsStrippedOfStxAndCrRuns) {
    port->ReplyAfterWrite({"\x02\x02S\r\r"});
    EXPECT_EQ(sheet->SendCommand("V"), TRUE);
    EXPECT_EQ(port->Writes(), (Writes{"\x02?\r", "\x02V\r"}));
    // Left-over input is dropped before the poll and before the command.
    EXPECT_EQ(port->PurgeCount(), 2);
}

TEST_F(ShortFrameTest, StxInsideTheReplyIsNotReady) {
    port->ReplyAfterWrite({"\x02S\x02\r"});
    port->ReplyAfterWrite({"\x02S\r"});
    EXPECT_EQ(sheet->SendCommand("V"), TRUE);
    EXPECT_EQ(port->Writes(), (Writes{"\x02?\r", "\x02?\r", "\x02V\r"}));
}

TEST_F(ShortFrameTest, ErrorReplyIsShownWithoutItsFraming) {
    port->ReplyAfterWrite(
        {"\x02\x02"
         "ERR 9\r\r"});
    port->ReplyAfterWrite({"\x02+\r"});
    port->ReplyAfterWrite({"\x02S\r"});
    EXPECT_EQ(sheet->SendCommand("V"), FALSE);
    EXPECT_THAT(Boxes(), ElementsAre("ERR 9"));
    EXPECT_EQ(port->Writes(), (Writes{"\x02?\r", "\x02H\r", "\x02?\r", "\x02V\r"}));
}

TEST_F(ShortFrameTest, AnUnframedSAnswerToHEndsTheWait) {
    // The answer to "H" is compared unstripped: a bare "S" counts as ready.
    port->ReplyAfterWrite(
        {"\x02"
         "ERR 9\r"});
    port->ReplyAfterWrite({"S"});
    EXPECT_EQ(sheet->SendCommand("V"), FALSE);
    EXPECT_EQ(port->Writes(), (Writes{"\x02?\r", "\x02H\r", "\x02V\r"}));
}

struct ReplyCase {
    const char* name;
    std::string bytes;
    std::string reply;
    int result;
};

class ReadReplyTest : public SheetFixture, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReadReplyTest, StripsOnlyTheRunsAtTheEnds) {
    Connect("+OQ");
    if (!GetParam().bytes.empty()) port->Arrive(GetParam().bytes);
    std::string reply = "old";
    EXPECT_EQ(sheet->ReadReply(reply), GetParam().result);
    EXPECT_EQ(reply, GetParam().reply);
}

INSTANTIATE_TEST_SUITE_P(ShortFrames, ReadReplyTest,
                         ::testing::Values(ReplyCase{"DoubleStx", "\x02\x02+\r", "+", 1},
                                           ReplyCase{"FramingOnly", "\x02\x02\r", "", 0},
                                           ReplyCase{"InnerBytesStay", "\x02+\x02\r-\r", "+\x02",
                                                     2},
                                           ReplyCase{"Silence", "", "", 0},
                                           ReplyCase{"NoFraming", "V 3.10\r", "V 3.10", 6}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(SheetFixture, VeltrixReplyIsTheFrameTextOrTheReadersError) {
    Connect("+VT");
    port->Arrive(testkit_test::Frame("V 3.10"));
    std::string reply;
    EXPECT_EQ(sheet->ReadReply(reply), 6);
    EXPECT_EQ(reply, "V 3.10");

    std::string badChecksum = testkit_test::Frame("OK");
    badChecksum[4] ^= 0x01;
    port->Arrive(badChecksum);
    EXPECT_EQ(sheet->ReadReply(reply), -6);
    EXPECT_EQ(reply, "");
}

}  // namespace
}  // namespace engine_test
