#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/Resource.h"
#include "tests/wizard/WizardHarness.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr int kBoxes[] = {IDC_POS1, IDC_POS2, IDC_POS3, IDC_POS4, IDC_POS5, IDC_POS6};

std::vector<int> Shown(const WizardHarness& h) {
    std::vector<int> values;
    for (const int id : kBoxes)
        values.push_back(h.Number(id));
    return values;
}

std::vector<bool> Enabled(const WizardHarness& h) {
    std::vector<bool> enabled;
    for (const int id : kBoxes)
        enabled.push_back(h.w.IsEnabled(id));
    return enabled;
}

std::string RangeMessage(int min, int max, int position) {
    return "Please enter an integer between " + std::to_string(min) + " and " +
           std::to_string(max) + " for the filter at position " + std::to_string(position) +
           " !\nEnter 0 to define this position as blank.";
}

int Pauses(const WizardHarness& h, int ms) {
    const auto& pauses = h.time.clock.Pauses();
    return static_cast<int>(std::count(pauses.begin(), pauses.end(), ms));
}

struct TableCase {
    std::string code;
    std::string table;
    std::string slideKind;  // the answer to "FC 0", OXQ only
    std::vector<int> positions;
    std::vector<bool> enabled;
};

void PrintTo(const TableCase& c, std::ostream* os) {
    *os << c.code << " '" << c.table << "' kind '" << c.slideKind << "'";
}

class FilterTableRead : public ::testing::TestWithParam<TableCase> {};

TEST_P(FilterTableRead, FillsAndEnablesThePositionsThatThereplyHolds) {
    const TableCase& c = GetParam();
    WizardHarness h(c.code);
    h.instrument.Answer(c.code == "+VT" ? "GW" : "I", c.table);
    h.instrument.Answer("FC 0", c.slideKind);
    ASSERT_TRUE(h.OpenAt(2));

    EXPECT_EQ(h.w.Caption(), "Veltrix Instrument Settings V 1.05  -  Step 3 of 5");
    EXPECT_EQ(Shown(h), c.positions);
    EXPECT_EQ(Enabled(h), c.enabled);
    for (const int id : {IDC_POS5, IDC_POS6, IDC_POS5_LABEL, IDC_POS6_LABEL, IDC_POS56_GROUP}) {
        EXPECT_TRUE(h.w.IsVisible(id)) << id;
    }
    EXPECT_EQ(h.instrument.Count("FC 0"), c.code == "+OQ" ? 1 : 0);
    EXPECT_EQ(h.sheet.m_pFilterSlidePage->m_bFilterSlideChanged, 0);
}

const std::vector<bool> kAll(6, true);
const std::vector<bool> kFour = {true, true, true, true, false, false};
const std::vector<bool> kNone(6, false);

INSTANTIATE_TEST_SUITE_P(
    Replies, FilterTableRead,
    ::testing::Values(
        TableCase{"+VT", "440-492-550-620-0-0", "", {440, 492, 550, 620, 0, 0}, kAll},
        TableCase{"+MV", "405 450 492 620", "", {405, 450, 492, 620, 0, 0}, kFour},
        // A third part missing: positions 1 to 4 count as absent.
        TableCase{"+MV", "405 450", "", {405, 450, 0, 0, 0, 0}, kNone},
        // A leading '-' is a sign, not the separator; negative values become 0.
        TableCase{"+MV", "-5 450 492 620", "", {0, 450, 492, 620, 0, 0}, kFour},
        TableCase{"+DL", "405/450/492/550/600/620", "", {405, 450, 492, 550, 600, 620}, kAll},
        // '-' wins over '/'.
        TableCase{"+DL", "405-450/492", "", {405, 450, 0, 0, 0, 0}, kNone},
        TableCase{"+MV", "", "", {0, 0, 0, 0, 0, 0}, kNone},
        TableCase{"+MV", "abc def ghi", "", {0, 0, 0, 0, 0, 0}, kFour},
        // OXQ: the slide kind decides about positions 5 and 6.
        TableCase{"+OQ", "405/450/492/550/600/620", "+I", {405, 450, 492, 550, 600, 620}, kAll},
        TableCase{"+OQ", "405/450/492/550/600/620", "?", {0, 0, 0, 0, 0, 0}, kNone},
        TableCase{"+OQ", "405/450/492/550/600/620", "+4", {405, 450, 492, 550, 0, 0}, kFour},
        TableCase{"+OQ", "405/450/492/550/600/620", "+", {405, 450, 492, 550, 0, 0}, kFour}));

TEST(FilterSlide, ASlowSlideKindIsAskedForOnceASecondUntilItComes) {
    WizardHarness h("+OQ");
    h.instrument.Answer("I", "405 450 492 550 600 620");
    h.instrument.SilenceBefore("FC 0", 3);
    ASSERT_TRUE(h.OpenAt(2));

    EXPECT_EQ(Pauses(h, 1000), 3);
    EXPECT_EQ(Shown(h), (std::vector<int>{405, 450, 492, 550, 600, 620}));
    EXPECT_EQ(Enabled(h), kAll);
}

TEST(FilterSlide, ASilentSlideKindEndsAfterThirtyFurtherReadsAsAnEmptyReply) {
    WizardHarness h("+OQ");
    h.instrument.Answer("I", "405 450 492 550 600 620");
    h.instrument.Answer("FC 0", std::nullopt);
    ASSERT_TRUE(h.OpenAt(2));

    EXPECT_EQ(Pauses(h, 1000), 30);
    EXPECT_EQ(Shown(h), (std::vector<int>{405, 450, 492, 550, 0, 0}));
    EXPECT_EQ(Enabled(h), kFour);
    EXPECT_EQ(h.instrument.Count("I"), 1);
}

TEST(FilterSlide, TheRangeReplyKeepsWhatIsNoInteger) {
    struct RangeCase {
        std::string reply;
        int min;
        int max;
    };
    const RangeCase cases[] = {
        {"340-750", 340, 750}, {"400-", 400, 750},    {"-", 340, 750},
        {"-800", 340, 800},    {"300-900", 300, 900}, {"", 340, 750},
        {"abc", 340, 750},     {"350-x", 350, 750},   {"1-2-700", 1, 700},
    };
    for (const RangeCase& c : cases) {
        SCOPED_TRACE(c.reply);
        WizardHarness h;
        h.instrument.Answer("DB FLT WR", c.reply);
        ASSERT_TRUE(h.OpenAt(2));
        ASSERT_TRUE(h.w.Type(IDC_POS1, "999"));

        h.w.Next();

        EXPECT_THAT(h.Boxes(), ElementsAre(RangeMessage(c.min, c.max, 1)));
    }
}

TEST(FilterSlide, EveryPositionOutOfRangeGetsItsMessageAndTheStepStays) {
    WizardHarness h;
    h.instrument.Answer("GW", "440-492-550-620-0-0");
    ASSERT_TRUE(h.OpenAt(2));
    h.w.Type(IDC_POS2, "800");
    h.w.Type(IDC_POS4, "10");

    h.w.Next();
    EXPECT_THAT(h.Boxes(), ElementsAre(RangeMessage(340, 750, 2), RangeMessage(340, 750, 4)));
    EXPECT_EQ(h.w.ActiveIndex(), 2);

    // Back is held too; 0 marks an empty position and is accepted.
    h.host.ClearBoxes();
    h.w.Back();
    EXPECT_THAT(h.Boxes(), ElementsAre(RangeMessage(340, 750, 2), RangeMessage(340, 750, 4)));
    h.host.ClearBoxes();
    h.w.Type(IDC_POS2, "0");
    h.w.Type(IDC_POS4, "750");
    h.w.Next();
    EXPECT_THAT(h.Boxes(), IsEmpty());
    EXPECT_EQ(h.w.ActiveIndex(), 3);
}

TEST(FilterSlide, DisabledPositionsAreCheckedToo) {
    WizardHarness h("+MV");
    h.instrument.Answer("I", "405 450");
    h.instrument.Answer("DB FLT WR", "420-750");
    ASSERT_TRUE(h.OpenAt(2));
    ASSERT_FALSE(h.w.IsEnabled(IDC_POS1));

    h.w.Next();

    EXPECT_THAT(h.Boxes(), ElementsAre(RangeMessage(420, 750, 1)));
    EXPECT_EQ(h.w.ActiveIndex(), 2);
}

TEST(FilterSlide, TheFrameworksOwnChecksComeFirst) {
    struct Typed {
        std::string text;
        std::string message;
    };
    const Typed cases[] = {{"abc", "Please enter an integer."},
                           {"1000", "Please enter an integer between 0 and 999."},
                           {"-1", "Please enter an integer between 0 and 999."}};
    for (const Typed& c : cases) {
        SCOPED_TRACE(c.text);
        WizardHarness h;
        ASSERT_TRUE(h.OpenAt(2));
        h.w.Type(IDC_POS3, c.text);

        h.w.Next();

        EXPECT_THAT(h.Boxes(), ElementsAre(c.message));
        EXPECT_EQ(h.w.FocusId(), IDC_POS3);
        EXPECT_EQ(h.w.ActiveIndex(), 2);
    }
}

TEST(FilterSlide, OnlyTheUsersEditsMarkTheTableForWriting) {
    WizardHarness h;
    ASSERT_TRUE(h.OpenAt(2));
    const int& changed = h.sheet.m_pFilterSlidePage->m_bFilterSlideChanged;

    // Leaving and coming back writes the fields into the boxes again: no edit.
    h.w.Next();
    h.w.Back();
    EXPECT_EQ(changed, 0);

    // Typing the value already there is an edit.
    h.w.Type(IDC_POS1, "440");
    EXPECT_EQ(changed, 1);

    // Moving the slide shows what the instrument holds, which is no edit.
    h.w.Click(IDC_SLIDE_IN);
    EXPECT_EQ(changed, 0);
    h.w.Type(IDC_POS2, "500");
    h.w.Click(IDC_SLIDE_OUT);
    EXPECT_EQ(changed, 0);
    h.w.Type(IDC_POS3, "500");
    h.w.Next();
    EXPECT_EQ(changed, 1);
    EXPECT_EQ(h.sheet.m_pFilterSlidePage->m_nPos3, 500);
}

TEST(FilterSlide, InAndOutMoveTheSlideAndShowTheTableReadBack) {
    WizardHarness h("+MV");
    h.instrument.Answer("I", "405 450 492 620");
    ASSERT_TRUE(h.OpenAt(2));

    h.instrument.Answer("I", "");
    h.w.Click(IDC_SLIDE_OUT);
    EXPECT_EQ(h.instrument.Commands().back(), "I");
    EXPECT_EQ(h.instrument.Commands()[h.instrument.Commands().size() - 2], "DB FLT MOVE E");
    EXPECT_EQ(Shown(h), (std::vector<int>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Enabled(h), kNone);

    h.instrument.Answer("I", "405/450/492/550/600/620");
    h.w.Click(IDC_SLIDE_IN);
    EXPECT_EQ(h.instrument.Commands()[h.instrument.Commands().size() - 2], "DB FLT MOVE I");
    EXPECT_EQ(Shown(h), (std::vector<int>{405, 450, 492, 550, 600, 620}));
    EXPECT_EQ(Enabled(h), kAll);
    EXPECT_THAT(h.Boxes(), IsEmpty());
}

TEST(FilterSlide, OutOnOxqClearsTheTableWithoutReadingAndInReadsItAgain) {
    WizardHarness h("+OQ");
    h.instrument.Answer("I", "405/450/492/550/600/620");
    ASSERT_TRUE(h.OpenAt(2));
    h.instrument.ClearCommands();

    h.w.Click(IDC_SLIDE_OUT);
    EXPECT_THAT(h.instrument.Commands(), ElementsAre("DB FLT MOVE E"));
    EXPECT_EQ(Shown(h), (std::vector<int>{0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Enabled(h), kNone);

    h.w.Click(IDC_SLIDE_IN);
    EXPECT_THAT(h.instrument.Commands(),
                ElementsAre("DB FLT MOVE E", "DB FLT MOVE I", "FC 0", "I"));
    EXPECT_EQ(Shown(h), (std::vector<int>{405, 450, 492, 550, 600, 620}));
    EXPECT_EQ(Enabled(h), kAll);
}

}  // namespace
}  // namespace wizard_test
