// Message boxes, the wait cursor and work put off until the program is idle.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>

#include "framework/Application.h"
#include "framework/Host.h"
#include "framework/qt/QtHost.h"
#include "tests/testkit/GuiTest.h"

namespace gui_test {
namespace {

using framework::MessageIcon;
using testkit_test::BoxAnswerer;
using testkit_test::ProcessEvents;
using testkit_test::SeenBox;
using testkit_test::WaitFor;

class HostServicesTest : public testing::Test {
protected:
    framework::qt::QtHost host;
    framework::ScopedHost use{host};
    BoxAnswerer boxes;
};

Qt::CursorShape CurrentCursor() {
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor != nullptr ? cursor->shape() : Qt::ArrowCursor;
}

TEST_F(HostServicesTest, BoxesHaveOkOnlyThePlainTextAndTheApplicationTitle) {
    const struct {
        MessageIcon icon;
        QMessageBox::Icon shown;
    } cases[] = {
        {MessageIcon::Warning, QMessageBox::Warning},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Error, QMessageBox::Critical},
        {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::None, QMessageBox::NoIcon},
    };
    for (const auto& c : cases)
        EXPECT_EQ(framework::MessageBox("<b>Could not</b>\ncontinue \x80", c.icon),
                  framework::IDOK);
    ASSERT_EQ(boxes.Boxes().size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const SeenBox& box = boxes.Boxes()[i];
        EXPECT_EQ(box.icon, cases[i].shown);
        EXPECT_TRUE(box.onlyOk);
        EXPECT_EQ(box.format, Qt::PlainText);
        EXPECT_EQ(box.text, QString::fromUtf8("<b>Could not</b>\ncontinue \u20ac"));
        EXPECT_EQ(box.title.toStdString(), framework::ApplicationTitle());
    }
}

TEST_F(HostServicesTest, TheDefaultBoxWarns) {
    framework::MessageBox("Could not connect instrument!");
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].icon, QMessageBox::Warning);
}

TEST_F(HostServicesTest, WaitCursorNestsAndABoxShowsTheNormalCursor) {
    Qt::CursorShape duringBox = Qt::BlankCursor;
    boxes.SetHook([&](QMessageBox&) { duringBox = CurrentCursor(); });
    {
        framework::WaitCursor outer;
        EXPECT_EQ(CurrentCursor(), Qt::WaitCursor);
        {
            framework::WaitCursor inner;
            EXPECT_EQ(CurrentCursor(), Qt::WaitCursor);
        }
        EXPECT_EQ(CurrentCursor(), Qt::WaitCursor);
        framework::MessageBox("Busy");
        EXPECT_EQ(duringBox, Qt::ArrowCursor);
        EXPECT_EQ(CurrentCursor(), Qt::WaitCursor);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    // An end without a begin takes nothing away.
    host.EndWaitCursor();
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(HostServicesTest, WorkFromOutsideWaitsUntilNothingRuns) {
    std::vector<std::string> order;
    {
        framework::qt::Activity::Scope busy(host.GetActivity());
        host.GetActivity().RunWhenIdle([&] { order.push_back("first"); });
        host.GetActivity().RunWhenIdle([&] { order.push_back("second"); });
        ProcessEvents();
        EXPECT_TRUE(order.empty());
    }
    // A box counts as busy too: what it shows may be a page in the middle of its work.
    boxes.SetHook([&](QMessageBox&) {
        host.GetActivity().RunWhenIdle([&] { order.push_back("after the box"); });
        ProcessEvents();
        order.push_back("box");
    });
    framework::MessageBox("Wait");
    ASSERT_TRUE(WaitFor([&] { return order.size() == 4; }, 2000));
    EXPECT_EQ(order, (std::vector<std::string>{"box", "first", "second", "after the box"}));
}

TEST_F(HostServicesTest, WaitUntilEndsWhenDoneOrOnQuit) {
    int polls = 0;
    EXPECT_TRUE(host.WaitUntil([&] { return ++polls >= 3; }, 1));
    EXPECT_EQ(polls, 3);
    QTimer::singleShot(5, [this] { host.Quit(); });
    EXPECT_FALSE(host.WaitUntil([] { return false; }, 1));
    EXPECT_FALSE(host.WaitUntil([] { return true; }));
}

}  // namespace
}  // namespace gui_test
