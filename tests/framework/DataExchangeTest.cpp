#include "framework/DataExchange.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/RecordingHost.h"
#include "tests/framework/TestDialogs.h"

namespace {

using framework::DataExchange;
using framework::MessageIcon;
using namespace framework_test;
using testing::ElementsAre;
using testing::IsEmpty;

class DataExchangeTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterTestResources();
        ASSERT_TRUE(dlg.Create());
    }

    framework::RecordingHost host;
    framework::ScopedHost useHost{host};
    FormDialog dlg;
};

TEST_F(DataExchangeTest, IntegerIntoControlsWritesDecimalText) {
    int a = 440, b = -12;
    dlg.exchange = [&](DataExchange& dx) {
        dx.Integer(kEdit1, a);
        dx.Integer(kEdit2, b, -100, 100);
    };
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(dlg.GetControlText(kEdit1), "440");
    EXPECT_EQ(dlg.GetControlText(kEdit2), "-12");
    EXPECT_THAT(host.Boxes(), IsEmpty());
}

struct IntegerCase {
    std::string text;
    bool ok;
    int value;            // the field afterwards (starts at 77)
    std::string message;  // the box shown, if any
};

class BoundedIntegerTest : public DataExchangeTest,
                           public testing::WithParamInterface<IntegerCase> {};

TEST_P(BoundedIntegerTest, TakesValidTextAndExplainsTheRest) {
    const IntegerCase& c = GetParam();
    int field = 77;
    dlg.exchange = [&](DataExchange& dx) { dx.Integer(kEdit1, field, 0, 999); };
    dlg.SetControlText(kEdit1, c.text);
    EXPECT_EQ(dlg.UpdateData(TRUE), c.ok ? TRUE : FALSE);
    EXPECT_EQ(field, c.value);
    if (c.ok) {
        EXPECT_THAT(host.Boxes(), IsEmpty());
        return;
    }
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, c.message);
    EXPECT_EQ(host.Boxes()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(host.Boxes()[0].caption, framework::ApplicationTitle());
    EXPECT_EQ(dlg.GetFocusId(), kEdit1);
}

const char* const kRange = "Please enter an integer between 0 and 999.";
const char* const kNoInt = "Please enter an integer.";

INSTANTIATE_TEST_SUITE_P(
    Texts, BoundedIntegerTest,
    testing::Values(IntegerCase{"0", true, 0, ""}, IntegerCase{"999", true, 999, ""},
                    IntegerCase{" 405 ", true, 405, ""}, IntegerCase{"1000", false, 77, kRange},
                    IntegerCase{"-1", false, 77, kRange}, IntegerCase{"", false, 77, kNoInt},
                    IntegerCase{"40x", false, 77, kNoInt},
                    IntegerCase{"3000000000", false, 77, kNoInt}));

TEST_F(DataExchangeTest, IntegerWithoutBoundsTakesAnyIntAndRejectsText) {
    int field = 1;
    dlg.exchange = [&](DataExchange& dx) { dx.Integer(kEdit1, field); };
    dlg.SetControlText(kEdit1, "-2147483648");
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(field, -2147483647 - 1);
    dlg.SetControlText(kEdit1, "abc");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(field, -2147483647 - 1);
    EXPECT_THAT(host.BoxTexts(), ElementsAre("Please enter an integer."));
}

TEST_F(DataExchangeTest, RangeMessageNamesTheBoundsOfTheFailingBox) {
    int a = 0, b = 0;
    dlg.exchange = [&](DataExchange& dx) {
        dx.Integer(kEdit1, a, 175, 9000);
        dx.Integer(kEdit2, b, -5, 55);
    };
    dlg.SetControlText(kEdit1, "440");
    dlg.SetControlText(kEdit2, "56");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_THAT(host.BoxTexts(), ElementsAre("Please enter an integer between -5 and 55."));
    EXPECT_EQ(a, 440);
    EXPECT_EQ(dlg.GetFocusId(), kEdit2);
}

TEST_F(DataExchangeTest, FailureLeavesTheFieldsAfterTheFailingOneUntouched) {
    int a = 1, b = 2, c = 3;
    std::string label = "before";
    dlg.exchange = [&](DataExchange& dx) {
        dx.Integer(kEdit1, a, 0, 10);
        dx.Integer(kEdit2, b, 0, 10);
        dx.Integer(kEdit3, c, 0, 10);
        dx.Label(kLabel, label);
    };
    dlg.SetControlText(kEdit1, "4");
    dlg.SetControlText(kEdit2, "nope");
    dlg.SetControlText(kEdit3, "6");
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_EQ(a, 4);
    EXPECT_EQ(b, 2);
    EXPECT_EQ(c, 3);
    EXPECT_EQ(label, "before");
    EXPECT_EQ(host.Boxes().size(), 1u);  // one message per run, for the first failure
    EXPECT_EQ(dlg.GetFocusId(), kEdit2);
}

TEST_F(DataExchangeTest, ListByTextSelectsAnExactMatchOnlyAndReadsTheSelectedText) {
    std::string baud = "9600";
    dlg.exchange = [&](DataExchange& dx) { dx.ListByText(kList, baud); };
    ASSERT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(dlg.GetListSelection(kList), 1);

    // Not exactly an item: the selection stays as it was.
    for (const char* text : {"9600 ", "960", "", "38400x"}) {
        baud = text;
        dlg.UpdateData(FALSE);
        EXPECT_EQ(dlg.GetListSelection(kList), 1) << text;
    }

    dlg.SelectListItem(kList, 2);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(baud, "300");
    dlg.SelectListItem(kList, -1);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(baud, "");
}

TEST_F(DataExchangeTest, RefilledListShowsNoSelectionWhenTheTextIsMissing) {
    std::string baud = "38400";
    dlg.exchange = [&](DataExchange& dx) { dx.ListByText(kList, baud); };
    dlg.UpdateData(FALSE);
    ASSERT_EQ(dlg.GetListSelection(kList), 0);

    dlg.ResetList(kList);
    for (const char* rate : {"19200", "9600"})
        dlg.AddListItem(kList, rate);
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.GetListSelection(kList), -1);
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(baud, "");
}

TEST_F(DataExchangeTest, ListByIndexSelectsInRangeAndOtherwiseNone) {
    int index = 0;
    dlg.exchange = [&](DataExchange& dx) { dx.ListByIndex(kList, index); };
    const std::vector<std::pair<int, int>> cases = {{1, 1}, {2, 2}, {3, -1}, {0, 0}, {-1, -1}};
    for (const auto& [into, selected] : cases) {
        index = into;
        dlg.UpdateData(FALSE);
        EXPECT_EQ(dlg.GetListSelection(kList), selected) << into;
        index = 99;
        dlg.UpdateData(TRUE);
        EXPECT_EQ(index, selected) << into;
    }
}

TEST_F(DataExchangeTest, ListByIndexOnAnEmptyListGivesNone) {
    int index = 0;
    dlg.exchange = [&](DataExchange& dx) { dx.ListByIndex(kList2, index); };
    dlg.UpdateData(FALSE);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(index, -1);
}

TEST_F(DataExchangeTest, RadioGroupCountsOnlyRadioButtonsUpToTheNextGroupStart) {
    int mode = 0;
    int other = 1;
    dlg.exchange = [&](DataExchange& dx) {
        dx.RadioGroup(kMode0, mode);
        dx.RadioGroup(kOtherA, other);
    };
    struct Row {
        int into;
        std::vector<int> checked;
    };
    const std::vector<Row> rows = {{0, {kMode0}}, {1, {kMode1}}, {2, {kMode2}},
                                   {3, {}},       {-1, {}},      {7, {}}};
    for (const Row& row : rows) {
        mode = row.into;
        dlg.UpdateData(FALSE);
        std::vector<int> checked;
        for (int id : {kMode0, kMode1, kMode2, kCustom}) {
            if (dlg.IsRadioChecked(id)) checked.push_back(id);
        }
        EXPECT_EQ(checked, row.checked) << row.into;
        EXPECT_TRUE(dlg.IsRadioChecked(kOtherB)) << "the next group is its own";
        mode = 42;
        dlg.UpdateData(TRUE);
        EXPECT_EQ(mode, row.checked.empty() ? -1 : row.into);
    }
}

TEST_F(DataExchangeTest, AButtonThatStartsItsOwnGroupIsNeverPartOfThePreviousOne) {
    int mode = 2;
    int custom = -1;
    dlg.exchange = [&](DataExchange& dx) { dx.RadioGroup(kMode0, mode); };
    dlg.UpdateData(FALSE);
    dlg.CheckRadio(kMode2, false);
    dlg.CheckRadio(kCustom, true);
    dlg.UpdateData(TRUE);
    EXPECT_EQ(mode, -1);

    // As a group of its own it has one position.
    dlg.exchange = [&](DataExchange& dx) { dx.RadioGroup(kCustom, custom); };
    dlg.UpdateData(TRUE);
    EXPECT_EQ(custom, 0);
    custom = 1;
    dlg.UpdateData(FALSE);
    EXPECT_FALSE(dlg.IsRadioChecked(kCustom));
}

TEST_F(DataExchangeTest, LabelTextGoesBothWays) {
    std::string text = "8 databits, 1 stop bit, no parity";
    dlg.exchange = [&](DataExchange& dx) { dx.Label(kLabel, text); };
    dlg.UpdateData(FALSE);
    EXPECT_EQ(dlg.GetControlText(kLabel), text);
    dlg.SetControlText(kLabel, "changed");
    dlg.UpdateData(TRUE);
    EXPECT_EQ(text, "changed");
}

TEST_F(DataExchangeTest, MissingControlsLeaveFieldsAsTheyAre) {
    int n = 5, group = 1;
    std::string s = "x";
    dlg.exchange = [&](DataExchange& dx) {
        dx.Integer(999, n, 0, 1);
        dx.ListByText(998, s);
        dx.ListByIndex(997, n);
        dx.RadioGroup(996, group);
        dx.Label(framework::IDC_STATIC, s);
    };
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_TRUE(dlg.UpdateData(FALSE));
    EXPECT_EQ(n, 5);
    EXPECT_EQ(group, 1);
    EXPECT_EQ(s, "x");
    EXPECT_THAT(host.Boxes(), IsEmpty());
}

TEST_F(DataExchangeTest, NotificationsAreIgnoredWhileAnExchangeRuns) {
    int a = 3;
    int mode = 1;
    dlg.exchange = [&](DataExchange& dx) {
        dx.Integer(kEdit1, a);
        dx.RadioGroup(kMode0, mode);
        // User input arriving meanwhile (e.g. while a box is up) updates but is not reported.
        if (!dx.IsSaving()) dlg.Click(kGo);
    };
    dlg.UpdateData(FALSE);
    dlg.UpdateData(TRUE);
    EXPECT_THAT(dlg.commands, IsEmpty());
    EXPECT_FALSE(dlg.IsExchangingData());

    // Outside an exchange the same text change is reported, as an edit control does.
    dlg.SetControlText(kEdit1, "3");
    dlg.Click(kGo);
    EXPECT_THAT(dlg.commands, ElementsAre(std::pair(kEdit1, framework::Notification::Changed),
                                          std::pair(kGo, framework::Notification::Clicked)));
}

TEST_F(DataExchangeTest, AFailingExchangeStillEndsTheQuietSpell) {
    int a = 0;
    dlg.exchange = [&](DataExchange& dx) { dx.Integer(kEdit1, a); };
    dlg.SetControlText(kEdit1, "bad");
    dlg.commands.clear();
    EXPECT_FALSE(dlg.UpdateData(TRUE));
    EXPECT_FALSE(dlg.IsExchangingData());
    dlg.TypeText(kEdit1, "1");
    EXPECT_EQ(dlg.commands.size(), 1u);
}

}  // namespace
