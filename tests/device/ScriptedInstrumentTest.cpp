#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/testkit/ScriptedDevice.h"
#include "tests/testkit/ScriptedInstrument.h"
#include "tests/testkit/VirtualTime.h"
#include "tests/testkit/Wire.h"

// The scripted instrument's own contract, on which the engine, wizard and fuzz tests rely.
namespace {

using ::testing::ElementsAre;
using testkit_test::Frame;
using testkit_test::ShortFrame;

struct UnframeCase {
    const char* name;
    std::string written;
    std::optional<std::string> text;  // std::nullopt: not a frame
    bool checksummed;
};

class UnframeTest : public ::testing::TestWithParam<UnframeCase> {};

TEST_P(UnframeTest, GivesTheTextOfAWellFormedFrameOnly) {
    const auto unframed = testkit_test::Unframe(GetParam().written);
    ASSERT_EQ(unframed.has_value(), GetParam().text.has_value());
    if (!unframed) return;
    EXPECT_EQ(unframed->text, *GetParam().text);
    EXPECT_EQ(unframed->checksummed, GetParam().checksummed);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, UnframeTest,
    ::testing::Values(UnframeCase{"Checksummed", Frame("RV0"), "RV0", true},
                      UnframeCase{"Short", ShortFrame("SS M_MODE"), "SS M_MODE", false},
                      UnframeCase{"EmptyShort", "\x02\r", "", false},
                      UnframeCase{"WrongChecksum", "\x02V\x03X\r", std::nullopt, false},
                      UnframeCase{"CrInsideTheText", ShortFrame("A\rB"), std::nullopt, false},
                      UnframeCase{"NoStx", "V\r", std::nullopt, false},
                      UnframeCase{"NoCr", Frame("V", false), std::nullopt, false}),
    [](const auto& test) { return std::string(test.param.name); });

class Instrument : public ::testing::Test {
protected:
    // What the host's write brought back, all of it.
    std::string Ask(const std::string& written) {
        device.WriteString(written);
        const std::string bytes = device.Unread();
        device.PurgeInput();
        return bytes;
    }

    testkit_test::VirtualTime time;
    testkit_test::ScriptedDevice device{time.clock};
};

TEST_F(Instrument, TheHAfterAnErrorReplyIsAnAcknowledgementAndAfterReadyACommand) {
    testkit_test::ScriptedInstrument instrument(device, "+MV");
    instrument.Queue("?", {"ERR 4"});
    EXPECT_EQ(Ask(ShortFrame("?")), ShortFrame("ERR 4"));
    EXPECT_EQ(Ask(ShortFrame("H")), ShortFrame("+"));
    EXPECT_EQ(Ask(ShortFrame("?")), ShortFrame("S"));
    EXPECT_EQ(Ask(ShortFrame("H")), ShortFrame("+"));
    EXPECT_THAT(instrument.Commands(), ElementsAre("H"));
    EXPECT_EQ(instrument.Polls(), 2);
    EXPECT_EQ(instrument.UnpolledCommands(), 0);
}

TEST_F(Instrument, HearsOnlyItsOwnFramingUnlessToldOtherwise) {
    testkit_test::ScriptedInstrument instrument(device, "+VT");
    EXPECT_EQ(Ask(ShortFrame("V")), "");
    EXPECT_EQ(Ask(Frame("V")), Frame("V 3.10"));
    instrument.HearEveryFraming();
    EXPECT_EQ(Ask(ShortFrame("V")), ShortFrame("V 3.10"));
    EXPECT_EQ(instrument.UnpolledCommands(), 2);
}

TEST_F(Instrument, AnAcceptedModeChangeSwitchesTheTypeAndTheLine) {
    testkit_test::ScriptedInstrument instrument(device, "+MV");
    instrument.Answer("DB CNF RCMODE 0 9600 N 8 1", "-");
    EXPECT_EQ(Ask(ShortFrame("DB CNF RCMODE 0 9600 N 8 1")), ShortFrame("-"));
    EXPECT_EQ(instrument.Type(), "+MV");

    EXPECT_EQ(Ask(ShortFrame("DB CNF RCMODE 4 19200 E 7 2")), ShortFrame("+"));
    EXPECT_EQ(instrument.Type(), "+OQ");
    // Silent until the host's line follows.
    EXPECT_EQ(Ask(testkit_test::kTypeQuery), "");
    device.SetBaudRate(19200);
    device.SetParity('E');
    device.SetDataBits(7);
    device.SetStopBits(2);
    device.ChangeBaudRate();
    EXPECT_EQ(Ask(testkit_test::kTypeQuery), ShortFrame("+OQ"));
}

TEST_F(Instrument, AScriptAnswersInTurnAndItsLastReplyKeepsAnswering) {
    testkit_test::ScriptedInstrument instrument(device, "+DL");
    instrument.AddReplies("RN=1\nRN~raw\nRN=3\nnot a line\n!=+VT\n");
    EXPECT_EQ(Ask(ShortFrame("RN")), ShortFrame("1"));
    EXPECT_EQ(Ask(ShortFrame("RN")), "raw");
    EXPECT_EQ(Ask(ShortFrame("RN")), ShortFrame("3"));
    EXPECT_EQ(Ask(ShortFrame("RN")), ShortFrame("3"));
    EXPECT_EQ(Ask(testkit_test::kTypeQuery), ShortFrame("+VT"));
    EXPECT_EQ(Ask("\x02RN"), "");
    EXPECT_THAT(instrument.MalformedWrites(), ElementsAre("\x02RN"));
}

}  // namespace
