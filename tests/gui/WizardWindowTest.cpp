// The wizard window: title, the sheet's buttons, keys, the close box, and its behaviour while
// the program waits.

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "framework/Ids.h"
#include "framework/WizardDriver.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "tests/gui/HostFixture.h"

namespace gui_test {
namespace {

using framework::ID_WIZBACK;
using framework::ID_WIZFINISH;
using framework::ID_WIZNEXT;
using framework::IDCANCEL;
using framework::Notification;
using testkit_test::MouseClick;

class WizardWindowTest : public HostFixture {
protected:
    struct Buttons {
        bool backEnabled;
        bool nextShown;
        bool finishShown;
        bool cancelShown;
        bool operator==(const Buttons&) const = default;
    };
    Buttons Shown() {
        return {Widget<QPushButton>(ID_WIZBACK).isEnabled(),
                !Widget<QPushButton>(ID_WIZNEXT).isHidden(),
                !Widget<QPushButton>(ID_WIZFINISH).isHidden(),
                !Widget<QPushButton>(IDCANCEL).isHidden()};
    }
};

TEST_F(WizardWindowTest, TitleAndButtonsFollowTheActivePage) {
    const struct {
        int page;
        const char* title;
        Buttons buttons;
    } steps[] = {
        {0, "Test wizard - Step 1 of 3", {false, true, false, true}},
        {1, "Test wizard - Step 2 of 3", {true, true, false, true}},
        {2, "Test wizard - Step 3 of 3", {true, false, true, true}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.title);
        if (step.page > 0) Widget<QPushButton>(ID_WIZNEXT).click();
        EXPECT_EQ(sheet.GetActiveIndex(), step.page);
        EXPECT_EQ(Window().windowTitle(), step.title);
        EXPECT_TRUE(Shown() == step.buttons);
        // Only the active page is on screen.
        EXPECT_TRUE(Window().ActivePageView()->isVisible());
    }
    Widget<QPushButton>(ID_WIZBACK).click();
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_EQ(Window().windowTitle(), "Test wizard - Step 2 of 3");
    EXPECT_FALSE(Window().findChild<QWidget*>("page_9103")->isVisible());
}

TEST_F(WizardWindowTest, NextAndFinishShareOnePlace) {
    EXPECT_EQ(Widget<QPushButton>(ID_WIZNEXT).geometry(),
              Widget<QPushButton>(ID_WIZFINISH).geometry());
    EXPECT_LT(Widget<QPushButton>(ID_WIZBACK).x(), Widget<QPushButton>(ID_WIZNEXT).x());
    EXPECT_LT(Widget<QPushButton>(ID_WIZNEXT).x(), Widget<QPushButton>(IDCANCEL).x());
    // Every page lies inside the window, above the buttons.
    const QRect page = Window().ActivePageView()->geometry();
    EXPECT_TRUE(Window().rect().contains(page));
    EXPECT_LT(page.bottom(), Widget<QPushButton>(IDCANCEL).mapTo(&Window(), QPoint()).y());
}

TEST_F(WizardWindowTest, EnterPressesNextThenFinish) {
    Widget<QRadioButton>(kRadioA).setFocus();
    PressKey(Window(), Qt::Key_Return);
    EXPECT_EQ(sheet.GetActiveIndex(), 1);
    PressKey(Window(), Qt::Key_Enter);
    EXPECT_EQ(sheet.GetActiveIndex(), 2);
    EXPECT_FALSE(sheet.IsEnded());
    PressKey(Window(), Qt::Key_Return);
    EXPECT_TRUE(sheet.IsEnded());
    EXPECT_EQ(sheet.GetResult(), framework::IDOK);
}

TEST_F(WizardWindowTest, EnterOnAFocusedPushButtonOfThePagePressesThatButton) {
    Widget<QPushButton>(kButton).setFocus();
    PressKey(Window(), Qt::Key_Return);
    EXPECT_EQ(sheet.first.Count(kButton, Notification::Clicked), 1);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
}

// Enter on a button of the sheet presses that button, not the default one.
TEST_F(WizardWindowTest, EnterOnAFocusedButtonOfTheSheetPressesThatButton) {
    const struct {
        int button;
        int index;  // where the wizard is afterwards; -1 ended by Cancel
    } cases[] = {{ID_WIZBACK, 0}, {ID_WIZNEXT, 2}, {IDCANCEL, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.button);
        TestSheet fresh;
        fresh.Create();
        framework::qt::WizardWindow* window = host.WindowOf(fresh);
        ASSERT_NE(window, nullptr);
        window->Present();
        fresh.Click(ID_WIZNEXT);
        window->WidgetFor(c.button)->setFocus();
        PressKey(*window, Qt::Key_Return);
        EXPECT_EQ(fresh.IsEnded(), c.index < 0);
        if (c.index >= 0) {
            EXPECT_EQ(fresh.GetActiveIndex(), c.index);
        } else {
            EXPECT_EQ(fresh.GetResult(), IDCANCEL);
        }
    }
}

TEST_F(WizardWindowTest, EnterDoesNothingWhileNextIsDisabled) {
    sheet.EnableControl(ID_WIZNEXT, false);
    PressKey(Window(), Qt::Key_Return);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
}

TEST_F(WizardWindowTest, EscapeCancels) {
    PressKey(Window(), Qt::Key_Escape);
    EXPECT_TRUE(sheet.IsEnded());
    EXPECT_EQ(sheet.GetResult(), IDCANCEL);
}

TEST_F(WizardWindowTest, TheCloseBoxCancelsButNotWhileTheProgramIsBusy) {
    bool closedWhileBusy = true;
    sheet.first.onCommand = [&](int id, Notification) {
        if (id != kButton) return;
        Window().close();
        closedWhileBusy = sheet.IsEnded();
    };
    Widget<QPushButton>(kButton).click();
    EXPECT_FALSE(closedWhileBusy);
    // Asked for while busy, the close takes effect once the work is over.
    EXPECT_TRUE(sheet.IsEnded());
    EXPECT_EQ(sheet.GetResult(), IDCANCEL);
}

TEST_F(WizardWindowTest, TheCloseBoxCancelsAtOnceWhenIdle) {
    Window().close();
    EXPECT_TRUE(sheet.IsEnded());
    EXPECT_EQ(sheet.GetResult(), IDCANCEL);
}

// Input that comes while the program waits on the line is dropped as it comes, not kept for
// later: after the wait, nothing of it happens.
TEST_F(WizardWindowTest, WaitingRepaintsButTakesNoInput) {
    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    Widget<QLabel>(kLabel).installEventFilter(&counter);
    int paintsDuringWait = 0;
    bool inputGiven = false;
    sheet.first.onCommand = [&](int id, Notification) {
        if (id != kButton) return;
        sheet.first.SetControlText(kLabel, "Waiting");
        QTimer::singleShot(0, [&] {
            MouseClick(Widget<QPushButton>(ID_WIZNEXT));
            MouseClick(Widget<QRadioButton>(kRadioB));
            TypeInto(Widget<QLineEdit>(kEdit), "7");
            PressKey(Window(), Qt::Key_Return);
            inputGiven = true;
        });
        for (int i = 0; i < 100 && !inputGiven; ++i)
            host.RepaintWhileWaiting();
        paintsDuringWait = counter.paints;
    };
    Widget<QPushButton>(kButton).click();
    ProcessEvents();
    EXPECT_TRUE(inputGiven);
    EXPECT_GT(paintsDuringWait, 0);
    EXPECT_EQ(sheet.GetActiveIndex(), 0);
    EXPECT_FALSE(sheet.IsEnded());
    EXPECT_FALSE(sheet.first.IsRadioChecked(kRadioB));
    EXPECT_FALSE(Widget<QRadioButton>(kRadioB).isChecked());
    EXPECT_EQ(sheet.first.GetControlText(kEdit), "");
    EXPECT_EQ(Widget<QLineEdit>(kEdit).text(), "");
    EXPECT_EQ(sheet.first.commands.size(), 1u);
    EXPECT_TRUE(Window().isVisible());
}

// Cancel, Esc and the close box while the program waits ask it to stop: work that can stop
// takes the request; otherwise the wizard is cancelled as soon as the work is over.
TEST_F(WizardWindowTest, AStopAskedForWhileWaitingActsWhenTheWorkEnds) {
    const struct {
        const char* how;
        std::function<void(framework::qt::WizardWindow&)> ask;
    } ways[] = {
        {"Cancel", [](framework::qt::WizardWindow& w) { MouseClick(*w.WidgetFor(IDCANCEL)); }},
        {"Esc", [](framework::qt::WizardWindow& w) { PressKey(w, Qt::Key_Escape); }},
        {"close box", [](framework::qt::WizardWindow& w) { w.close(); }},
    };
    for (const auto& way : ways) {
        for (const bool workTakesIt : {false, true}) {
            SCOPED_TRACE(std::string(way.how) + (workTakesIt ? ", taken by the work" : ""));
            TestSheet fresh;
            fresh.Create();
            framework::qt::WizardWindow* window = host.WindowOf(fresh);
            ASSERT_NE(window, nullptr);
            window->Present();
            bool endedDuringWork = true;
            bool taken = false;
            fresh.first.onCommand = [&](int id, Notification) {
                if (id != kButton) return;
                bool asked = false;
                QTimer::singleShot(0, [&] {
                    way.ask(*window);
                    asked = true;
                });
                for (int i = 0; i < 100 && !asked; ++i)
                    host.RepaintWhileWaiting();
                endedDuringWork = fresh.IsEnded();
                if (workTakesIt) taken = framework::StopRequested();
            };
            qobject_cast<QPushButton*>(window->WidgetFor(kButton))->click();
            EXPECT_FALSE(endedDuringWork);
            EXPECT_EQ(taken, workTakesIt);
            EXPECT_EQ(fresh.IsEnded(), !workTakesIt);
            if (!workTakesIt) {
                EXPECT_EQ(fresh.GetResult(), IDCANCEL);
            }
            EXPECT_FALSE(host.TakeStopRequest()) << "nothing left over for the next input";
        }
    }
}

TEST_F(WizardWindowTest, BusyTextShowsDuringTheWaitOnly) {
    QString duringWait;
    QString duringBox = "not shown";
    BoxAnswerer boxes;
    sheet.first.onCommand = [&](int id, Notification) {
        if (id != kButton) return;
        host.ShowBusyText("Trying /dev/ttyUSB0  ( COM1 ) at 2400 baud");
        host.RepaintWhileWaiting();
        duringWait = Window().BusyText();
        // A box waits for the user, not the line.
        framework::MessageBox("Could not connect instrument!");
        duringBox = Window().BusyText();
    };
    Widget<QPushButton>(kButton).click();
    EXPECT_EQ(duringWait, "Trying /dev/ttyUSB0  ( COM1 ) at 2400 baud");
    EXPECT_EQ(duringBox, "");
    EXPECT_EQ(Window().BusyText(), "");
    EXPECT_EQ(Window().findChild<QLabel*>("busyText")->text(), "");
}

TEST_F(WizardWindowTest, TheSheetsIconBecomesTheWindowIcon) {
    resources::RegisterIcons();
    EXPECT_TRUE(Window().windowIcon().isNull());
    sheet.SetIcon(framework::LoadIcon(IDR_MAINFRAME), true);
    sheet.SetIcon(framework::LoadIcon(IDR_MAINFRAME), false);
    const QIcon icon = Window().windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_FALSE(icon.pixmap(16, 16).isNull());
    EXPECT_FALSE(icon.pixmap(48, 48).isNull());
}

TEST_F(WizardWindowTest, HidingTheSheetHidesTheWindow) {
    EXPECT_TRUE(Window().isVisible());
    sheet.ShowWindow(false);
    EXPECT_FALSE(Window().isVisible());
    sheet.ShowWindow(true);
    EXPECT_TRUE(Window().isVisible());
}

TEST_F(WizardWindowTest, AModalRunEndsWithTheSheetAndItsWindowGoes) {
    sheet.DestroyWindow();
    EXPECT_EQ(host.WindowOf(sheet), nullptr);
    QTimer::singleShot(0, [this] {
        if (auto* w = host.WindowOf(sheet)) PressKey(*w, Qt::Key_Escape);
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(host.WindowOf(sheet), nullptr);
    QTimer::singleShot(0, [this] {
        if (auto* w = host.WindowOf(sheet)) {
            PressKey(*w, Qt::Key_Return);
            PressKey(*w, Qt::Key_Return);
            PressKey(*w, Qt::Key_Return);
        }
    });
    EXPECT_EQ(sheet.DoModal(), framework::IDOK);
}

TEST_F(WizardWindowTest, QuitEndsAModalRunAsCancelled) {
    sheet.DestroyWindow();
    QTimer::singleShot(0, [this] { host.Quit(); });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_TRUE(host.IsQuitRequested());
}

}  // namespace
}  // namespace gui_test
