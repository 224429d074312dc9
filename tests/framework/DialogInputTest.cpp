// The one door for user input, the control helpers and what the host hears of changes.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "framework/RecordingHost.h"
#include "tests/framework/TestDialogs.h"

namespace {

using framework::ControlChange;
using framework::DialogChange;
using framework::Notification;
using namespace framework_test;
using testing::ElementsAre;
using testing::IsEmpty;

// Keeps the model changes the host hears of.
class MirrorHost : public framework::RecordingHost {
public:
    std::vector<std::pair<int, ControlChange>> controlChanges;
    std::vector<DialogChange> dialogChanges;

    void OnControlChanged(framework::Control& c, ControlChange what) override {
        controlChanges.emplace_back(c.Id(), what);
    }
    void OnDialogChanged(framework::Dialog&, DialogChange what) override {
        dialogChanges.push_back(what);
    }
};

class DialogInputTest : public testing::Test {
protected:
    void SetUp() override {
        RegisterTestResources();
        ASSERT_TRUE(dlg.Create());
        host.controlChanges.clear();
        host.dialogChanges.clear();
    }

    MirrorHost host;
    framework::ScopedHost useHost{host};
    FormDialog dlg;
};

TEST_F(DialogInputTest, CreateMakesTheControlsOfTheTemplateInTabOrder) {
    EXPECT_EQ(dlg.GetCaption(), "Form");
    EXPECT_EQ(dlg.GetTemplate().width, 278);
    EXPECT_EQ(dlg.GetTemplate().fontName, "MS Sans Serif");
    ASSERT_EQ(dlg.Controls().size(), 16u);
    EXPECT_EQ(dlg.Controls()[0]->Id(), kLabel);
    EXPECT_EQ(dlg.GetControl(kList)->Items(), (std::vector<std::string>{"38400", "9600", "300"}));
    EXPECT_FALSE(dlg.GetControl(kCustom)->IsVisible());
    EXPECT_EQ(dlg.GetControl(framework::IDC_STATIC), nullptr);
    EXPECT_EQ(dlg.GetControl(12345), nullptr);
}

TEST_F(DialogInputTest, InitialisationFillsTheControlsWithoutReportingIt) {
    FormDialog other;
    int value = 42;
    other.exchange = [&](framework::DataExchange& dx) { dx.Integer(kEdit1, value); };
    ASSERT_TRUE(other.Create());
    EXPECT_EQ(other.GetControlText(kEdit1), "42");
    EXPECT_THAT(other.commands, IsEmpty());
}

TEST_F(DialogInputTest, AMissingTemplateGivesAnEmptyDialogWhoseHelpersDoNothing) {
    framework::Dialog missing(4242);
    EXPECT_FALSE(missing.Create());
    EXPECT_FALSE(missing.IsCreated());
    EXPECT_EQ(missing.GetControl(kEdit1), nullptr);
    missing.SetControlText(kEdit1, "x");
    missing.EnableControl(kEdit1, false);
    missing.ResetList(kList);
    EXPECT_EQ(missing.AddListItem(kList, "a"), -1);
    EXPECT_EQ(missing.GetControlText(kEdit1), "");
    EXPECT_EQ(missing.GetListSelection(kList), -1);
    EXPECT_EQ(missing.GetListCount(kList), 0);
    EXPECT_FALSE(missing.IsControlVisible(kEdit1));
    EXPECT_FALSE(missing.Click(kGo));
}

TEST_F(DialogInputTest, TypingReportsEveryChangeEvenTheSameText) {
    EXPECT_TRUE(dlg.TypeText(kEdit1, "440"));
    EXPECT_TRUE(dlg.TypeText(kEdit1, "440"));
    EXPECT_EQ(dlg.GetControlText(kEdit1), "440");
    EXPECT_THAT(dlg.commands, ElementsAre(std::pair(kEdit1, Notification::Changed),
                                          std::pair(kEdit1, Notification::Changed)));
}

TEST_F(DialogInputTest, ClickingARadioChecksItAndClearsOnlyItsGroup) {
    dlg.CheckRadio(kMode0);
    dlg.CheckRadio(kOtherA);
    EXPECT_TRUE(dlg.Click(kMode2));
    EXPECT_FALSE(dlg.IsRadioChecked(kMode0));
    EXPECT_FALSE(dlg.IsRadioChecked(kMode1));
    EXPECT_TRUE(dlg.IsRadioChecked(kMode2));
    EXPECT_TRUE(dlg.IsRadioChecked(kOtherA));
    EXPECT_THAT(dlg.commands, ElementsAre(std::pair(kMode2, Notification::Clicked)));

    // A button that starts a group of its own leaves the group before it alone.
    dlg.ShowControl(kCustom);
    EXPECT_TRUE(dlg.Click(kCustom));
    EXPECT_TRUE(dlg.IsRadioChecked(kCustom));
    EXPECT_TRUE(dlg.IsRadioChecked(kMode2));
}

TEST_F(DialogInputTest, RadioGroupOfFindsTheGroupFromAnyOfItsButtons) {
    const auto ids = [&](int id) {
        std::vector<int> result;
        for (const framework::Control* c : dlg.RadioGroupOf(id))
            result.push_back(c->Id());
        return result;
    };
    EXPECT_THAT(ids(kMode1), ElementsAre(kMode0, kMode1, kMode2));
    EXPECT_THAT(ids(kMode2), ElementsAre(kMode0, kMode1, kMode2));
    EXPECT_THAT(ids(kCustom), ElementsAre(kCustom));
    EXPECT_THAT(ids(kOtherB), ElementsAre(kOtherA, kOtherB));
    EXPECT_THAT(ids(kEdit1), IsEmpty());
}

TEST_F(DialogInputTest, ChoosingAListItemSelectsItAndReportsIt) {
    EXPECT_TRUE(dlg.SelectItem(kList, 2));
    EXPECT_EQ(dlg.GetListSelection(kList), 2);
    EXPECT_EQ(dlg.GetControl(kList)->SelectedText(), "300");
    EXPECT_THAT(dlg.commands, ElementsAre(std::pair(kList, Notification::SelectionChanged)));
}

TEST_F(DialogInputTest, ProgramChangesOfListsAndRadiosAreNotReported) {
    dlg.SelectListItem(kList, 1);
    dlg.CheckRadio(kMode1);
    dlg.ResetList(kList);
    dlg.AddListItem(kList, "1200");
    EXPECT_THAT(dlg.commands, IsEmpty());
}

TEST_F(DialogInputTest, RefillingAListLeavesNoSelection) {
    dlg.SelectListItem(kList, 1);
    dlg.ResetList(kList);
    EXPECT_EQ(dlg.GetListSelection(kList), -1);
    EXPECT_EQ(dlg.AddListItem(kList, "19200"), 0);
    EXPECT_EQ(dlg.AddListItem(kList, ""), 1);  // an empty text is an item too
    EXPECT_EQ(dlg.GetListCount(kList), 2);
    EXPECT_EQ(dlg.GetListSelection(kList), -1);
    EXPECT_EQ(dlg.GetListItemText(kList, 0), "19200");
    EXPECT_EQ(dlg.GetListItemText(kList, 5), "");
    dlg.SelectListItem(kList, 2);
    EXPECT_EQ(dlg.GetListSelection(kList), -1);
}

struct Refusal {
    const char* what;
    std::function<void(FormDialog&)> prepare;
    std::function<bool(FormDialog&)> act;
};

TEST_F(DialogInputTest, TheDoorRefusesWhatAUserCouldNotDo) {
    const std::vector<Refusal> refusals = {
        {"hidden button", [](FormDialog&) {}, [](FormDialog& d) { return d.Click(kHiddenButton); }},
        {"disabled edit", [](FormDialog& d) { d.EnableControl(kEdit1, false); },
         [](FormDialog& d) { return d.TypeText(kEdit1, "1"); }},
        {"disabled radio", [](FormDialog& d) { d.EnableControl(kMode1, false); },
         [](FormDialog& d) { return d.Click(kMode1); }},
        {"missing id", [](FormDialog&) {}, [](FormDialog& d) { return d.Click(777); }},
        {"typing into a list", [](FormDialog&) {},
         [](FormDialog& d) { return d.TypeText(kList, "9600"); }},
        {"clicking an edit box", [](FormDialog&) {}, [](FormDialog& d) { return d.Click(kEdit1); }},
        {"clicking a label", [](FormDialog&) {}, [](FormDialog& d) { return d.Click(kLabel); }},
        {"selecting on a button", [](FormDialog&) {},
         [](FormDialog& d) { return d.SelectItem(kGo, 0); }},
        {"item past the end", [](FormDialog&) {},
         [](FormDialog& d) { return d.SelectItem(kList, 3); }},
        {"no item", [](FormDialog&) {}, [](FormDialog& d) { return d.SelectItem(kList, -1); }},
        {"disabled window", [](FormDialog& d) { d.EnableWindow(false); },
         [](FormDialog& d) { return d.Click(kGo); }},
        {"hidden window", [](FormDialog& d) { d.ShowWindow(false); },
         [](FormDialog& d) { return d.Click(kGo); }},
    };
    for (const Refusal& r : refusals) {
        FormDialog d;
        ASSERT_TRUE(d.Create());
        r.prepare(d);
        EXPECT_FALSE(r.act(d)) << r.what;
        EXPECT_THAT(d.commands, IsEmpty()) << r.what;
        EXPECT_EQ(d.GetControlText(kEdit1), "") << r.what;
        EXPECT_EQ(d.GetListSelection(kList), -1) << r.what;
        EXPECT_FALSE(d.IsRadioChecked(kMode1)) << r.what;
    }
}

TEST_F(DialogInputTest, TheHostHearsOfEveryRealChange) {
    dlg.SetControlText(kLabel, "Port");
    dlg.SetControlText(kLabel, "Port");  // same text: nothing to mirror
    dlg.EnableControl(kEdit1, false);
    dlg.EnableControl(kEdit1, false);
    dlg.ShowControl(kCustom);
    dlg.CheckRadio(kMode1);
    dlg.AddListItem(kList2, "a");
    dlg.SelectListItem(kList2, 0);
    EXPECT_THAT(host.controlChanges, ElementsAre(std::pair(kLabel, ControlChange::Text),
                                                 std::pair(kEdit1, ControlChange::Enabled),
                                                 std::pair(kCustom, ControlChange::Visible),
                                                 std::pair(kMode1, ControlChange::Checked),
                                                 std::pair(kList2, ControlChange::Items),
                                                 std::pair(kList2, ControlChange::Selection)));

    dlg.SetCaption("New");
    dlg.SetFocus(kEdit2);
    dlg.SetFocus(4444);  // no such control: focus stays
    dlg.ShowWindow(false);
    dlg.EnableWindow(false);
    dlg.SetIcon(128, true);
    EXPECT_THAT(host.dialogChanges,
                ElementsAre(DialogChange::Caption, DialogChange::Focus, DialogChange::WindowVisible,
                            DialogChange::WindowEnabled, DialogChange::Icon));
    EXPECT_EQ(dlg.GetFocusId(), kEdit2);
    EXPECT_EQ(dlg.GetIcon(true), 128);
    EXPECT_EQ(dlg.GetIcon(false), 0);
}

TEST_F(DialogInputTest, DestroyingTheWindowTellsTheHostBeforeTheControlsGo) {
    framework::Control* seenAtDestroy = nullptr;
    struct Probe : MirrorHost {
        FormDialog* dialog = nullptr;
        framework::Control** seen = nullptr;
        void OnDialogChanged(framework::Dialog& d, DialogChange what) override {
            if (what == DialogChange::Destroyed) *seen = dialog->GetControl(kEdit1);
            MirrorHost::OnDialogChanged(d, what);
        }
    } probe;
    framework::ScopedHost useProbe(probe);
    FormDialog d;
    probe.dialog = &d;
    probe.seen = &seenAtDestroy;
    d.Create();
    d.DestroyWindow();
    EXPECT_NE(seenAtDestroy, nullptr);
    EXPECT_FALSE(d.IsCreated());
    EXPECT_EQ(d.GetControl(kEdit1), nullptr);
    EXPECT_THAT(probe.dialogChanges,
                ElementsAre(DialogChange::Caption, DialogChange::Created, DialogChange::Destroyed));
}

}  // namespace
