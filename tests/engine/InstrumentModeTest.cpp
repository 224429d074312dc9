#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/engine/ApplyFixture.h"
#include "tests/testkit/Wire.h"

namespace engine_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct ModeCase {
    const char* from;
    int mode;
    const char* baud;
    const char* command;
    testkit_test::LineSettings line;
    char terminator;
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << c.command;
}

class ModeChangeTest : public ApplyFixture, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ModeChangeTest, SendsTheModeAndLineThenFollowsWithTheLocalPort) {
    const ModeCase& c = GetParam();
    testkit_test::ScriptedInstrument& fake = ConnectInstrument(c.from);
    ChooseMode(c.mode, c.baud);
    EXPECT_EQ(sheet->ChangeInstrumentMode(c.mode), TRUE);
    EXPECT_THAT(fake.Commands(), ElementsAre(c.command));
    EXPECT_THAT(port->AppliedLines(), ElementsAre(c.line));
    EXPECT_EQ(port->GetTerminator(), c.terminator);
    EXPECT_EQ(sheet->GetInstrumentType(), fake.Type());
    EXPECT_EQ(sheet->GetSelectedTypeCode(), fake.Type());
    EXPECT_THAT(Boxes(), IsEmpty());
    // The type query follows the change without a pause of its own beyond the query's.
    EXPECT_EQ(port->GetTimeout(), 2000);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ModeChangeTest,
    ::testing::Values(
        ModeCase{"+MV", 3, "9600", "DB CNF RCMODE 4 9600 E 7 2", {9600, 'E', 7, 2}, CR},
        ModeCase{"+OQ", 0, "19200", "DB CNF RCMODE 0 19200 N 8 1", {19200, 'N', 8, 1}, ETX},
        ModeCase{"+VT", 1, "2400", "DB CNF RCMODE 1 2400 N 8 1", {2400, 'N', 8, 1}, CR},
        ModeCase{"+VT", 2, "300", "DB CNF RCMODE 2 300 N 8 1", {300, 'N', 8, 1}, CR}));

TEST_F(ApplyFixture, ModeChangeToAnUnknownIndexSendsTheHeadAlone) {
    Connect("+MV");
    ChooseMode(7, "4800");
    port->ReplyAfterWrite({testkit_test::ShortFrame("S")});
    port->ReplyAfterWrite({testkit_test::ShortFrame("+")});
    EXPECT_EQ(sheet->ChangeInstrumentMode(7), TRUE);
    ASSERT_GE(port->Writes().size(), 2u);
    EXPECT_EQ(port->Writes()[1], testkit_test::ShortFrame("DB CNF RCMODE "));
    EXPECT_THAT(port->AppliedLines(), ElementsAre(testkit_test::LineSettings{4800, 'N', 8, 1}));
    EXPECT_EQ(port->GetTerminator(), CR);
}

TEST_F(ApplyFixture, UnansweredModeChangeLeavesTheLocalPortAlone) {
    testkit_test::ScriptedInstrument& mv = ConnectInstrument("+MV");
    ChooseMode(3, "19200");
    mv.Answer("DB CNF RCMODE 4 19200 E 7 2", std::nullopt);
    EXPECT_EQ(sheet->ChangeInstrumentMode(3), FALSE);
    EXPECT_THAT(Boxes(), ElementsAre("Error changing instrument mode!"));
    EXPECT_THAT(port->AppliedLines(), IsEmpty());
    EXPECT_EQ(port->GetBaudRate(), 9600);
    EXPECT_EQ(port->GetTerminator(), CR);
    EXPECT_EQ(mv.TypeQueries(), 0);
    // The reply was awaited for 10 s after the ready poll.
    EXPECT_EQ(Elapsed(), 300 + 10000);
}

TEST_F(ApplyFixture, SaveIsAcceptedOnPlus) {
    testkit_test::ScriptedInstrument& vt = ConnectInstrument("+VT");
    EXPECT_EQ(sheet->SaveSettings(), TRUE);
    EXPECT_THAT(vt.Commands(), ElementsAre("DB CNF WRITE"));
    EXPECT_THAT(port->Writes().back(), testkit_test::Frame("DB CNF WRITE"));
    EXPECT_THAT(Boxes(), IsEmpty());
    EXPECT_EQ(port->GetTimeout(), 10000);
    EXPECT_EQ(host.WaitCursorBegins(), 1);
    EXPECT_FALSE(host.IsCursorBusy());
}

// The box keeps the instrument's own first line, then says why and what to do.
TEST_F(ApplyFixture, SaveRefusedOrUnansweredKeepsTheWizardOpen) {
    const std::string advice =
        "\nThe settings were sent but not stored: the instrument keeps them only until it is "
        "switched off.\nPress Finish to try again, or check the instrument and its cable.";
    const struct {
        std::optional<std::string> reply;
        std::string cause;
    } cases[] = {
        {"-", "The instrument answered \"-\" instead of \"+\"."},
        {"E\x07", "The instrument answered \"E\\x07\" instead of \"+\"."},
        {std::nullopt, "The instrument did not answer within 10 s."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cause);
        host.ClearBoxes();
        testkit_test::ScriptedInstrument& mv = ConnectInstrument("+MV");
        mv.Answer("DB CNF WRITE", c.reply);
        EXPECT_EQ(sheet->SaveSettings(), FALSE);
        ASSERT_THAT(Boxes(), ElementsAre("Error saving instrument settings!\n" + c.cause + advice));
        // Shown while the instrument is still being waited for.
        EXPECT_TRUE(host.Boxes()[0].cursorBusy);
        EXPECT_FALSE(host.IsCursorBusy());
    }
}

}  // namespace
}  // namespace engine_test
