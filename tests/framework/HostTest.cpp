// Message boxes, the wait cursor and the wait hook through the current host.

#include "framework/Host.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/Ids.h"
#include "framework/PropertySheet.h"
#include "framework/RecordingHost.h"
#include "support/Clock.h"

namespace {

using framework::MessageIcon;
using testing::ElementsAre;

TEST(HostTest, BoxesHaveTheApplicationTitleAndAWarningIconUnlessTold) {
    framework::RecordingHost host;
    framework::ScopedHost use(host);
    EXPECT_EQ(framework::MessageBox("Could not connect instrument!"), framework::IDOK);
    framework::MessageBox("Done", MessageIcon::Information);
    ASSERT_EQ(host.Boxes().size(), 2u);
    EXPECT_EQ(host.Boxes()[0].icon, MessageIcon::Warning);
    EXPECT_EQ(host.Boxes()[1].icon, MessageIcon::Information);
    EXPECT_EQ(host.Boxes()[0].caption, framework::ApplicationTitle());
    EXPECT_EQ(host.Boxes()[0].caption, "test_framework");
    EXPECT_THAT(host.BoxTexts(), ElementsAre("Could not connect instrument!", "Done"));
    host.ClearBoxes();
    EXPECT_TRUE(host.Boxes().empty());
}

TEST(HostTest, TheWaitCursorNestsAndBoxesKnowWhetherItWasShowing) {
    framework::RecordingHost host;
    framework::ScopedHost use(host);
    framework::MessageBox("before");
    {
        framework::WaitCursor outer;
        {
            framework::WaitCursor inner;
            EXPECT_TRUE(host.IsCursorBusy());
        }
        EXPECT_TRUE(host.IsCursorBusy());
        framework::MessageBox("while busy");
    }
    EXPECT_FALSE(host.IsCursorBusy());
    EXPECT_EQ(host.WaitCursorBegins(), 2);
    EXPECT_EQ(host.WaitCursorEnds(), 2);
    ASSERT_EQ(host.Boxes().size(), 2u);
    EXPECT_FALSE(host.Boxes()[0].cursorBusy);
    EXPECT_TRUE(host.Boxes()[1].cursorBusy);
}

TEST(HostTest, TheBoxHookSeesEachBoxAsItIsShown) {
    framework::RecordingHost host;
    framework::ScopedHost use(host);
    std::vector<std::string> seen;
    host.SetBoxHook([&](const framework::RecordedBox& box) {
        seen.push_back(box.text);
        // A box raised while one is being shown must not disturb the one being reported.
        if (box.text == "first") framework::MessageBox("nested");
    });
    framework::MessageBox("first");
    EXPECT_THAT(seen, ElementsAre("first", "nested"));
    EXPECT_THAT(host.BoxTexts(), ElementsAre("first", "nested"));
}

TEST(HostTest, WaitsOnTheLineRepaintThroughTheCurrentHostAndScopesNest) {
    framework::RecordingHost outer;
    framework::RecordingHost inner;
    framework::ScopedHost useOuter(outer);
    support::RunWaitHook();
    {
        framework::ScopedHost useInner(inner);
        EXPECT_EQ(&framework::CurrentHost(), &inner);
        support::RunWaitHook();
        support::RunWaitHook();
    }
    EXPECT_EQ(&framework::CurrentHost(), &outer);
    support::RunWaitHook();
    EXPECT_EQ(outer.Repaints(), 2);
    EXPECT_EQ(inner.Repaints(), 2);
}

TEST(HostTest, WithoutAHostASheetIsCancelledRatherThanLeftWaiting) {
    // No ScopedHost here: the process default, which has no screen, is current.
    framework::PropertySheet sheet(0);
    testing::internal::CaptureStderr();
    framework::MessageBox("nobody sees this");
    const std::string written = testing::internal::GetCapturedStderr();
    EXPECT_EQ(sheet.DoModal(), framework::IDCANCEL);
    EXPECT_EQ(written, framework::ApplicationTitle() + ": nobody sees this\n");
}

}  // namespace
