#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/testkit/ScriptedDevice.h"
#include "tests/testkit/VirtualTime.h"
#include "tests/testkit/Wire.h"

namespace {

using testkit_test::Frame;
using testkit_test::Hex;
using testkit_test::ShortFrame;

// Logs the steps of a query with the number of pauses made before each.
class StepLog : public testkit_test::ScriptedDevice {
public:
    using ScriptedDevice::ScriptedDevice;
    BOOL PurgeInput() override {
        Log("purge");
        return ScriptedDevice::PurgeInput();
    }
    BOOL WriteBytes(const unsigned char* pBuffer, int nCount) override {
        Log("write");
        return ScriptedDevice::WriteBytes(pBuffer, nCount);
    }
    void SetTerminator(char cTerminator) override {
        Log("terminator " + std::to_string(cTerminator));
        ScriptedDevice::SetTerminator(cTerminator);
    }
    int ReadString(std::string& str) override {
        Log("read");
        return ScriptedDevice::ReadString(str);
    }
    std::vector<std::string> steps;

private:
    void Log(const std::string& step) {
        steps.push_back(step + " after " + std::to_string(Clock().Pauses().size()) + " pauses");
    }
};

class Identification : public ::testing::Test {
protected:
    testkit_test::VirtualTime time;
    StepLog device{time.clock};
};

TEST_F(Identification, PurgesWritesWaitsThenReadsUpToCr) {
    device.Arrive(ShortFrame("+MV"));  // an old answer, purged before the query
    device.ReplyAfterWrite({ShortFrame("+VT")});
    EXPECT_EQ(device.AskForInstrumentType(), "+VT");
    ASSERT_EQ(device.Writes().size(), 1u);
    EXPECT_EQ(Hex(device.Writes()[0]), "02 21 0D 00");
    EXPECT_EQ(device.steps,
              (std::vector<std::string>{"purge after 0 pauses", "write after 0 pauses",
                                        "terminator 13 after 1 pauses", "read after 1 pauses",
                                        "terminator 3 after 1 pauses"}));
    EXPECT_EQ(time.clock.Pauses(), std::vector<int>{100});
    EXPECT_EQ(device.GetTerminator(), '\x03');
    EXPECT_TRUE(device.TimeoutChanges().empty());
    EXPECT_EQ(device.GetLastErrorText(), "");
}

TEST_F(Identification, WasherQuerySendsStxBrCrZero) {
    device.SetTerminator('\r');
    device.ReplyAfterWrite({ShortFrame("W1")});
    EXPECT_EQ(device.AskForWasherType(), "W1");
    EXPECT_EQ(Hex(device.Writes().at(0)), "02 42 52 0D 00");
    EXPECT_EQ(device.GetTerminator(), '\r');
}

struct AnswerCase {
    const char* name;
    std::vector<std::string> reply;
    std::string result;
    std::string code;  // the tail of the error text; empty: no error
    std::string unread;
};

class IdentificationAnswers : public Identification,
                              public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(IdentificationAnswers, GiveTextOrError) {
    const AnswerCase& c = GetParam();
    device.SetLastErrorText("untouched");
    device.ReplyAfterWrite(c.reply);
    EXPECT_EQ(device.AskForInstrumentType(), c.result);
    EXPECT_EQ(device.GetLastErrorText(), c.code.empty() ? "untouched" : "ERR: " + c.code);
    EXPECT_EQ(Hex(device.Unread()), Hex(c.unread));
    EXPECT_EQ(device.GetTerminator(), '\x03');
}

INSTANTIATE_TEST_SUITE_P(
    Answers, IdentificationAnswers,
    ::testing::Values(AnswerCase{"Known", {ShortFrame("+OQ")}, "+OQ", "", ""},
                      AnswerCase{"NoiseBeforeStx", {"\x01z" + ShortFrame("+DL")}, "+DL", "", ""},
                      AnswerCase{"Unknown", {ShortFrame("XYZ")}, "XYZ", "", ""},
                      AnswerCase{
                          "EtxAndChecksumKept", {Frame("+VT")}, Frame("+VT").substr(1, 5), "", ""},
                      AnswerCase{"InChunks",
                                 {"\x02+", "VT\r"},
                                 "",
                                 "-5 AskForInstrumentType - string read but <CR> not found",
                                 "VT\r"},
                      AnswerCase{"CrBeforeStx",
                                 {"\r" + ShortFrame("+VT")},
                                 "",
                                 "-2 AskForInstrumentType - string read but Stx not found",
                                 ShortFrame("+VT")},
                      AnswerCase{"NoCr",
                                 {"\x02+VT"},
                                 "",
                                 "-5 AskForInstrumentType - string read but <CR> not found",
                                 ""},
                      AnswerCase{"Silence", {}, "", "-1 AskForInstrumentType - nothing read", ""}),
    [](const ::testing::TestParamInfo<AnswerCase>& test) { return test.param.name; });

TEST_F(Identification, SilenceCostsTheWaitAndOneTimeout) {
    device.SetTimeout(2000);
    EXPECT_EQ(device.AskForInstrumentType(), "");
    EXPECT_EQ(time.clock.NowMs(), 100 + 2000);
    EXPECT_EQ(device.GetTimeout(), 2000);
    EXPECT_EQ(device.GetLastErrorText(), "ERR: -1 AskForInstrumentType - nothing read");
}

TEST_F(Identification, FailedWriteNeitherWaitsNorReads) {
    device.SetWritesFail(true);
    EXPECT_EQ(device.AskForInstrumentType(), "");
    EXPECT_EQ(device.GetLastErrorText(), "ERR: -7 AskForInstrumentType - could not write Stx!CR");
    EXPECT_EQ(device.AskForWasherType(), "");
    EXPECT_EQ(device.GetLastErrorText(), "ERR: -7 AskForWasherType - could not write StxBRCR");
    EXPECT_EQ(device.steps,
              (std::vector<std::string>{"purge after 0 pauses", "write after 0 pauses",
                                        "purge after 0 pauses", "write after 0 pauses"}));
    EXPECT_EQ(time.clock.NowMs(), 0);
    EXPECT_TRUE(device.TerminatorChanges().empty());
}

}  // namespace
