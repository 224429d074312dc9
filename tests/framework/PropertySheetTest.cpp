// The property sheet in wizard mode: page events, buttons, caption and the modal run.

#include "framework/PropertySheet.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "framework/RecordingHost.h"
#include "framework/Resources.h"
#include "framework/WizardDriver.h"
#include "tests/framework/TestDialogs.h"

namespace {

using framework::ID_WIZBACK;
using framework::ID_WIZFINISH;
using framework::ID_WIZNEXT;
using framework::IDCANCEL;
using framework::IDOK;
using namespace framework_test;
using testing::ElementsAre;
using testing::IsEmpty;

class TestSheet : public framework::PropertySheet {
public:
    TestSheet(std::vector<std::string>& log, int selectPage = 0)
        : PropertySheet(kSheetCaption, nullptr, selectPage), m_log(log) {
        for (int i = 0; i < 3; ++i) {
            pages.push_back(
                std::make_unique<LoggingPage>(kPageTemplate + i, "p" + std::to_string(i + 1), log));
            AddPage(pages.back().get());
        }
    }
    ~TestSheet() override {
        while (GetPageCount() > 0)
            RemovePage(0);
    }

    LoggingPage& Page(int i) { return *pages[static_cast<std::size_t>(i)]; }
    void OnDestroy() override { m_log.push_back("sheet:Destroy"); }
    bool KeepActivatedPage(framework::PropertyPage& page,
                           framework::PropertyPage* previous) override {
        if (!keep) return true;
        m_log.push_back("sheet:Keep?");
        return keep(page, previous);
    }

    std::vector<std::unique_ptr<LoggingPage>> pages;
    std::function<bool(framework::PropertyPage&, framework::PropertyPage*)> keep;

private:
    std::vector<std::string>& m_log;
};

class PropertySheetTest : public testing::Test {
protected:
    void SetUp() override { RegisterTestResources(); }

    // Opens the sheet and forgets the events of opening.
    void Open() {
        ASSERT_TRUE(w.Open());
        log.clear();
    }

    framework::RecordingHost host;
    framework::ScopedHost useHost{host};
    std::vector<std::string> log;
    TestSheet sheet{log};
    framework::WizardDriver w{sheet};
};

TEST_F(PropertySheetTest, OpeningInitialisesAndActivatesTheStartPage) {
    ASSERT_TRUE(w.Open());
    EXPECT_THAT(log, ElementsAre("p1:Init", "p1:SetActive"));
    EXPECT_EQ(w.ActiveIndex(), 0);
    EXPECT_EQ(w.Caption(), "Step 1 of 3");
    EXPECT_EQ(w.Text(kPageEdit), "5");
    EXPECT_TRUE(sheet.Page(0).IsWindowVisible());
    EXPECT_FALSE(sheet.Page(1).IsCreated());
}

TEST_F(PropertySheetTest, TheStartPageCanBeAnyPage) {
    std::vector<std::string> otherLog;
    TestSheet other(otherLog, 2);
    framework::WizardDriver d(other);
    d.Open();
    EXPECT_EQ(d.ActiveIndex(), 2);
    EXPECT_EQ(d.Caption(), "Step 3 of 3");
    EXPECT_THAT(otherLog, ElementsAre("p3:Init", "p3:SetActive"));
}

TEST_F(PropertySheetTest, NextLeavesThePageThenActivatesTheFollowingOne) {
    Open();
    EXPECT_TRUE(w.Next());
    EXPECT_THAT(log, ElementsAre("p1:KillActive", "p1:Next", "p2:Init", "p2:SetActive"));
    EXPECT_EQ(w.ActiveIndex(), 1);
    EXPECT_EQ(w.Caption(), "Step 2 of 3");
    EXPECT_FALSE(sheet.Page(0).IsWindowVisible());
    EXPECT_TRUE(sheet.Page(1).IsWindowVisible());
}

TEST_F(PropertySheetTest, BackLeavesThePageThenActivatesThePreviousOneWithoutInitialising) {
    Open();
    w.Next();
    log.clear();
    EXPECT_TRUE(w.Back());
    EXPECT_THAT(log, ElementsAre("p2:KillActive", "p2:Back", "p1:SetActive"));
    EXPECT_EQ(w.Caption(), "Step 1 of 3");
}

TEST_F(PropertySheetTest, LeavingTakesTheControlsOverAndComingBackWritesTheFieldsAgain) {
    Open();
    ASSERT_TRUE(w.Type(kPageEdit, "7"));
    w.Next();
    EXPECT_EQ(sheet.Page(0).m_nValue, 7);

    sheet.Page(0).m_nValue = 3;
    w.Back();
    EXPECT_EQ(w.Text(kPageEdit), "3");
}

TEST_F(PropertySheetTest, TheFirstActivationKeepsWhatInitialisationShowed) {
    // A page that sets a control after the base initialisation: its first activation must not
    // write the fields over it; a later one does.
    struct Page : LoggingPage {
        using LoggingPage::LoggingPage;
        BOOL OnInitDialog() override {
            LoggingPage::OnInitDialog();
            SetControlText(kPageEdit, "from init");
            return TRUE;
        }
    };
    Page page(kPageTemplate, "x", log);
    sheet.RemovePage(0);
    sheet.AddPage(&page);
    sheet.SetActivePage(&page);
    w.Open();
    EXPECT_EQ(w.ActivePage(), &page);
    EXPECT_EQ(w.Text(kPageEdit), "from init");

    page.SetControlText(kPageEdit, "4");
    ASSERT_TRUE(w.Back());
    EXPECT_EQ(page.m_nValue, 4);
    page.m_nValue = 8;
    w.Next();
    EXPECT_EQ(w.Text(kPageEdit), "8");
    sheet.RemovePage(&page);
}

struct Refusal {
    const char* what;
    std::function<void(TestSheet&)> arrange;
    std::vector<std::string> events;
};

TEST_F(PropertySheetTest, APageThatRefusesKeepsTheWizardWhereItIs) {
    const std::vector<Refusal> refusals = {
        {"kill-active", [](TestSheet& s) { s.Page(0).refuseKillActive = TRUE; }, {"p1:KillActive"}},
        {"next", [](TestSheet& s) { s.Page(0).nextResult = FALSE; }, {"p1:KillActive", "p1:Next"}},
        {"set-active of the next page",
         [](TestSheet& s) { s.Page(1).refuseSetActive = TRUE; },
         {"p1:KillActive", "p1:Next", "p2:Init", "p2:SetActive"}},
    };
    for (const Refusal& r : refusals) {
        std::vector<std::string> events;
        TestSheet s(events);
        framework::WizardDriver d(s);
        r.arrange(s);
        d.Open();
        events.clear();
        d.Next();
        EXPECT_EQ(events, r.events) << r.what;
        EXPECT_EQ(d.ActiveIndex(), 0) << r.what;
        EXPECT_EQ(d.Caption(), "Step 1 of 3") << r.what;
        EXPECT_TRUE(s.Page(0).IsWindowVisible()) << r.what;
        EXPECT_FALSE(s.Page(1).IsWindowVisible() && s.Page(1).IsCreated()) << r.what;
    }
}

// The sheet may withdraw an activation after the page's initialisation or after its
// activation: the previous page stays, and a page made by that activation is made afresh the
// next time, while a page shown before keeps its window.
TEST_F(PropertySheetTest, AnActivationTheSheetWithdrawsKeepsThePreviousPage) {
    const struct {
        const char* when;
        int refuseAsk;  // the ask (1st after initialisation, 2nd after activation) refused
        std::vector<std::string> events;
    } cases[] = {
        {"after initialisation",
         1,
         {"p1:KillActive", "p1:Next", "p2:Init", "sheet:Keep?", "p2:Destroy"}},
        {"after activation",
         2,
         {"p1:KillActive", "p1:Next", "p2:Init", "sheet:Keep?", "p2:SetActive", "sheet:Keep?",
          "p2:Destroy"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        std::vector<std::string> events;
        TestSheet s(events);
        framework::WizardDriver d(s);
        d.Open();
        int asks = 0;
        framework::PropertyPage* previousSeen = nullptr;
        s.keep = [&](framework::PropertyPage&, framework::PropertyPage* previous) {
            previousSeen = previous;
            return ++asks != c.refuseAsk;
        };
        events.clear();
        d.Next();
        EXPECT_EQ(events, c.events);
        EXPECT_EQ(previousSeen, &s.Page(0));
        EXPECT_EQ(d.ActiveIndex(), 0);
        EXPECT_EQ(d.Caption(), "Step 1 of 3");
        EXPECT_TRUE(s.Page(0).IsWindowVisible());
        EXPECT_FALSE(s.Page(1).IsCreated());

        s.keep = nullptr;
        events.clear();
        d.Next();
        EXPECT_EQ(d.ActiveIndex(), 1);
        EXPECT_THAT(events, testing::Contains("p2:Init"));

        // Coming back to a page shown before: refused, it keeps its window.
        d.Back();
        s.keep = [](framework::PropertyPage&, framework::PropertyPage*) { return false; };
        d.Next();
        EXPECT_EQ(d.ActiveIndex(), 0);
        EXPECT_TRUE(s.Page(1).IsCreated());
        EXPECT_FALSE(s.Page(1).IsWindowVisible());
    }
}

TEST_F(PropertySheetTest, BackRefusedByThePageStays) {
    Open();
    w.Next();
    sheet.Page(1).backResult = FALSE;
    log.clear();
    w.Back();
    EXPECT_THAT(log, ElementsAre("p2:KillActive", "p2:Back"));
    EXPECT_EQ(w.ActiveIndex(), 1);
}

TEST_F(PropertySheetTest, InvalidInputShowsTheMessageKeepsThePageAndFocusesTheBox) {
    Open();
    w.Type(kPageEdit, "abc");
    w.Next();
    w.Type(kPageEdit, "11");
    w.Next();
    EXPECT_THAT(host.BoxTexts(), ElementsAre("Please enter an integer.",
                                             "Please enter an integer between 0 and 10."));
    EXPECT_EQ(w.ActiveIndex(), 0);
    EXPECT_EQ(w.FocusId(), kPageEdit);
    EXPECT_EQ(sheet.Page(0).m_nValue, 5);
    w.Type(kPageEdit, "10");
    EXPECT_TRUE(w.Next());
    EXPECT_EQ(w.ActiveIndex(), 1);
}

TEST_F(PropertySheetTest, NoPageBeforeTheFirstOrAfterTheLast) {
    Open();
    w.Back();
    EXPECT_THAT(log, IsEmpty());
    w.Next();
    w.Next();
    log.clear();
    w.Next();
    EXPECT_THAT(log, IsEmpty());
    EXPECT_EQ(w.ActiveIndex(), 2);
}

TEST_F(PropertySheetTest, FinishRunsOnlyThePagesFinishAndClosesWithOkWhenItAgrees) {
    Open();
    sheet.GetControl(ID_WIZFINISH)->Show(true);
    sheet.Page(0).finishResult = FALSE;
    EXPECT_TRUE(w.Finish());
    EXPECT_THAT(log, ElementsAre("p1:Finish"));
    EXPECT_FALSE(w.IsEnded());

    sheet.Page(0).finishResult = TRUE;
    w.Finish();
    EXPECT_TRUE(w.IsEnded());
    EXPECT_EQ(w.Result(), IDOK);
}

TEST_F(PropertySheetTest, CancelClosesWithCancelAndNoPageEvents) {
    Open();
    EXPECT_TRUE(w.Cancel());
    EXPECT_THAT(log, IsEmpty());
    EXPECT_TRUE(w.IsEnded());
    EXPECT_EQ(w.Result(), IDCANCEL);
}

TEST_F(PropertySheetTest, TheButtonsAreControlsOfTheSheetWhileItsWindowIsOpen) {
    EXPECT_EQ(sheet.GetControl(ID_WIZNEXT), nullptr);
    Open();
    for (int id : {ID_WIZBACK, ID_WIZNEXT, ID_WIZFINISH, IDCANCEL}) {
        ASSERT_NE(sheet.GetControl(id), nullptr) << id;
        EXPECT_EQ(sheet.GetControl(id)->Kind(), framework::ControlKind::PushButton);
    }
    EXPECT_TRUE(w.IsVisible(ID_WIZNEXT));
    EXPECT_FALSE(w.IsVisible(ID_WIZFINISH));

    // Hidden or disabled, a button cannot be pressed.
    sheet.ShowControl(ID_WIZNEXT, false);
    EXPECT_FALSE(w.Next());
    sheet.ShowControl(ID_WIZNEXT, true);
    sheet.EnableControl(ID_WIZNEXT, false);
    EXPECT_FALSE(w.Next());
    EXPECT_FALSE(w.Finish());
    EXPECT_THAT(log, IsEmpty());
    EXPECT_EQ(w.ActiveIndex(), 0);
}

TEST_F(PropertySheetTest, APageSeesItselfActiveAndTheButtonsDuringItsActivation) {
    int seenIndex = -2;
    bool seenButtons = false;
    sheet.Page(1).onSetActive = [&] {
        seenIndex = sheet.GetActiveIndex();
        seenButtons = sheet.Page(1).GetParent()->GetControl(ID_WIZBACK) != nullptr;
        // What a wizard does for its pages: Back only after the first page.
        sheet.EnableControl(ID_WIZBACK, sheet.GetPageIndex(&sheet.Page(1)) != 0);
    };
    Open();
    w.Next();
    EXPECT_EQ(seenIndex, 1);
    EXPECT_TRUE(seenButtons);
    EXPECT_TRUE(w.IsEnabled(ID_WIZBACK));
}

TEST_F(PropertySheetTest, TheTitleIsTheSheetCaptionWhenThePageHasNone) {
    framework::DialogTemplate bare;
    bare.id = 919;
    framework::RegisterTemplate(bare);
    std::vector<std::string> otherLog;
    TestSheet other(otherLog);
    LoggingPage page(919, "bare", otherLog);
    other.AddPage(&page);
    other.SetActivePage(3);
    framework::WizardDriver d(other);
    d.Open();
    EXPECT_EQ(d.Caption(), "Test Wizard");
    other.RemovePage(&page);
}

TEST_F(PropertySheetTest, APageWithoutTemplateIsReportedAndNotShown) {
    std::vector<std::string> otherLog;
    TestSheet other(otherLog);
    LoggingPage broken(4711, "broken", otherLog);
    other.AddPage(&broken);
    framework::WizardDriver d(other);
    d.Open();
    d.Next();
    d.Next();
    d.Next();
    EXPECT_EQ(d.ActiveIndex(), 2);
    EXPECT_EQ(d.Caption(), "Step 3 of 3");
    ASSERT_EQ(host.Boxes().size(), 1u);
    EXPECT_EQ(host.Boxes()[0].text, "The page cannot be shown: dialog template 4711 is missing.");
    other.RemovePage(&broken);
}

TEST_F(PropertySheetTest, PagesAreCountedAndFoundByIndex) {
    EXPECT_EQ(sheet.GetPageCount(), 3);
    EXPECT_EQ(sheet.GetPage(1), &sheet.Page(1));
    EXPECT_EQ(sheet.GetPage(3), nullptr);
    EXPECT_EQ(sheet.GetPage(-1), nullptr);
    EXPECT_EQ(sheet.GetPageIndex(&sheet.Page(2)), 2);
    EXPECT_EQ(sheet.GetPageIndex(nullptr), -1);
    EXPECT_EQ(sheet.GetActivePage(), nullptr);
    EXPECT_EQ(sheet.Page(0).GetParent(), &sheet);
    sheet.AddPage(&sheet.Page(0));  // already there
    sheet.AddPage(nullptr);
    EXPECT_EQ(sheet.GetPageCount(), 3);
}

TEST_F(PropertySheetTest, RemovingTheActivePageActivatesTheOneNowInItsPlace) {
    Open();
    w.Next();
    log.clear();
    sheet.RemovePage(1);
    EXPECT_THAT(log, ElementsAre("p2:Destroy", "p3:Init", "p3:SetActive"));
    EXPECT_EQ(w.ActiveIndex(), 1);
    EXPECT_EQ(w.Caption(), "Step 3 of 3");
    EXPECT_EQ(sheet.Page(1).GetParent(), nullptr);
}

TEST_F(PropertySheetTest, APageDestroyedWhileInTheSheetLeavesIt) {
    Open();
    sheet.pages[1].reset();
    EXPECT_EQ(sheet.GetPageCount(), 2);
    log.clear();
    w.Next();
    EXPECT_THAT(log, ElementsAre("p1:KillActive", "p1:Next", "p3:Init", "p3:SetActive"));
}

TEST_F(PropertySheetTest, SetActivePageLeavesTheCurrentPageFirst) {
    Open();
    sheet.Page(0).refuseKillActive = TRUE;
    EXPECT_FALSE(sheet.SetActivePage(2));
    EXPECT_EQ(w.ActiveIndex(), 0);
    sheet.Page(0).refuseKillActive = FALSE;
    log.clear();
    EXPECT_TRUE(sheet.SetActivePage(2));
    EXPECT_THAT(log, ElementsAre("p1:KillActive", "p3:Init", "p3:SetActive"));
    EXPECT_FALSE(sheet.SetActivePage(5));
}

TEST_F(PropertySheetTest, HeaderFlagsStartWithHelpAndTakeTheWizardMode) {
    EXPECT_EQ(sheet.GetFlags(), framework::PSH_HASHELP);
    EXPECT_FALSE(sheet.IsWizardMode());
    sheet.SetWizardMode();
    sheet.SetFlags(sheet.GetFlags() & ~framework::PSH_HASHELP);
    EXPECT_EQ(sheet.GetFlags(), framework::PSH_WIZARD);
    EXPECT_TRUE(sheet.IsWizardMode());
    EXPECT_EQ(sheet.GetCaptionId(), kSheetCaption);
    EXPECT_TRUE(sheet.Page(0).HasHelpFlag());
}

TEST_F(PropertySheetTest, DoModalRunsTheHostsLoopAndReturnsTheResult) {
    host.SetModalScript([&](framework::PropertySheet& s) {
        EXPECT_TRUE(s.IsModalRunning());
        framework::WizardDriver d(s);
        EXPECT_EQ(d.Caption(), "Step 1 of 3");
        d.Next();
        d.Next();
        s.ShowControl(ID_WIZFINISH);
        d.Finish();
    });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_EQ(host.ModalRuns(), 1);
    EXPECT_FALSE(sheet.IsModalRunning());
    EXPECT_FALSE(sheet.IsCreated());
    EXPECT_EQ(sheet.GetActiveIndex(), -1);
    // The frame goes before its pages; the pages' fields stay for whoever reads them.
    ASSERT_GE(log.size(), 4u);
    EXPECT_THAT(std::vector<std::string>(log.end() - 4, log.end()),
                ElementsAre("sheet:Destroy", "p1:Destroy", "p2:Destroy", "p3:Destroy"));
}

TEST_F(PropertySheetTest, AModalRunLeftOpenByTheHostCountsAsCancelled) {
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    // A second run starts afresh, with a first activation again.
    log.clear();
    host.SetModalScript([](framework::PropertySheet& s) { s.EndDialog(IDOK); });
    EXPECT_EQ(sheet.DoModal(), IDOK);
    EXPECT_THAT(std::vector<std::string>(log.begin(), log.begin() + 2),
                ElementsAre("p1:Init", "p1:SetActive"));
}

TEST_F(PropertySheetTest, TheOwnerIsDisabledWhileTheSheetRuns) {
    FormDialog owner;
    framework::PropertySheet child(kSheetCaption, &owner);
    bool enabledDuringRun = true;
    host.SetModalScript(
        [&](framework::PropertySheet&) { enabledDuringRun = owner.IsWindowEnabled(); });
    child.DoModal();
    EXPECT_FALSE(enabledDuringRun);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

}  // namespace
