// The exchange record of the command transaction: how each exchange ended, and how that is
// named, in both framings.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "device/InstrumentCommands.h"
#include "tests/engine/SheetFixture.h"
#include "tests/testkit/ScriptedInstrument.h"

namespace engine_test {
namespace {

using engine::ExchangeOutcome;

struct Case {
    const char* name;
    std::function<void(testkit_test::ScriptedInstrument&)> script;
    ExchangeOutcome outcome;
    bool sent;
    std::string described;  // DescribeFailure; "" for a success
};

class ExchangeRecordTest : public SheetFixture,
                           public ::testing::WithParamInterface<std::tuple<Case, const char*>> {};

TEST_P(ExchangeRecordTest, TellsHowTheExchangeEnded) {
    const auto& [c, type] = GetParam();
    Connect(type);
    sheet->OnConnected();
    sheet->m_nReadyWaitLimitMs = 3000;
    testkit_test::ScriptedInstrument instrument(*port, type);
    c.script(instrument);
    {
        const engine::SettingTopic topic(sheet->Record(), "measurement");
        sheet->SendCommand("RN");
        std::string reply;
        sheet->ReadReply(reply);
    }
    ASSERT_EQ(sheet->Record().Size(), 1u);
    const engine::Exchange& exchange = *sheet->Record().Last();
    EXPECT_EQ(exchange.command, "RN");
    EXPECT_EQ(exchange.setting, "measurement");
    EXPECT_EQ(exchange.outcome, c.outcome);
    EXPECT_EQ(exchange.sent, c.sent);
    EXPECT_EQ(exchange.Succeeded(), c.described.empty());
    if (!c.described.empty()) {
        EXPECT_EQ(engine::DescribeFailure(exchange), c.described);
    }
    // Nothing in the transaction gives up on its own: that is for the step that reads.
    EXPECT_FALSE(exchange.failed);
}

const Case kCases[] = {
    {"Answered", [](auto& i) { i.Answer("RN", "8"); }, ExchangeOutcome::Answered, true, ""},
    {"EmptyAnswer", [](auto& i) { i.Answer("RN", ""); }, ExchangeOutcome::Answered, true, ""},
    {"NoReply", [](auto& i) { i.Answer("RN", std::nullopt); }, ExchangeOutcome::NoReply, true,
     "no reply to \"RN\" within 0.6 s"},
    {"ErrorReplyToTheCommand", [](auto& i) { i.Answer("RN", "ERR 5 lamp"); },
     ExchangeOutcome::ErrorReply, true, "error reply \"ERR 5 lamp\" to \"RN\""},
    {"ThreeErrorsWhilePolled",
     [](auto& i) {
         i.Queue("?", {"ERR 1", "ERR 2", "ERR 3"});
     },
     ExchangeOutcome::ErrorReply, false, "error reply \"ERR 3\" to \"RN\" (not sent)"},
    {"OneErrorWhilePolled", [](auto& i) { i.Queue("?", {"ERR 1"}); }, ExchangeOutcome::Answered,
     true, ""},
    {"BusyForEver", [](auto& i) { i.Answer("?", "B"); }, ExchangeOutcome::NotReady, false,
     "did not report ready within 3 s (\"RN\" not sent)"},
};

std::string CaseName(const ::testing::TestParamInfo<std::tuple<Case, const char*>>& info) {
    const bool framed = std::string(std::get<1>(info.param)) == "+VT";
    return std::string(std::get<0>(info.param).name) + (framed ? "Framed" : "Short");
}

INSTANTIATE_TEST_SUITE_P(Outcomes, ExchangeRecordTest,
                         ::testing::Combine(::testing::ValuesIn(kCases),
                                            ::testing::Values("+VT", "+MV")),
                         CaseName);

// The save that is answered but not accepted is refused and is what the save gave up on; the
// record starts afresh when step 1 connects again.
TEST_F(SheetFixture, ARefusedSaveIsMarkedAndAConnectStartsAfresh) {
    Connect("+MV");
    sheet->OnConnected();
    testkit_test::ScriptedInstrument instrument(*port, "+MV");
    instrument.Answer("DB CNF WRITE", "-");
    EXPECT_EQ(sheet->SaveSettings(), FALSE);
    const engine::Exchange& save = *sheet->Record().Last();
    EXPECT_TRUE(save.refused && save.failed);
    EXPECT_EQ(save.setting, "");
    EXPECT_EQ(engine::CauseOf(save), "refused (reply \"-\")");
    EXPECT_EQ(sheet->Record().Failures().size(), 1u);
    sheet->OnConnected();
    EXPECT_EQ(sheet->Record().Size(), 0u);
    EXPECT_EQ(sheet->Settings().mode.value, 1);
}

TEST(SecondsText, GivesTenthsOnlyWhenThereAreAny) {
    EXPECT_EQ(engine::SecondsText(600), "0.6 s");
    EXPECT_EQ(engine::SecondsText(10000), "10 s");
    EXPECT_EQ(engine::SecondsText(30000), "30 s");
    EXPECT_EQ(engine::SecondsText(1500), "1.5 s");
}

}  // namespace
}  // namespace engine_test
