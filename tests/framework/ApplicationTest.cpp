// The application object: title, command-line options and the application lock.

#include "framework/Application.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/PropertySheet.h"
#include "framework/RecordingHost.h"

namespace {

using testing::ElementsAre;

// Runs Main with these arguments and records what start-up saw.
class TestApp : public framework::Application {
public:
    std::vector<std::string> events;
    bool automation = false;
    bool userControlAfterTest = true;
    int exitCode = 0;

    BOOL InitInstance() override {
        events.push_back("InitInstance");
        automation = IsStartedForAutomation();
        userControlAfterTest = IsUserControl();
        return FALSE;
    }
    int ExitInstance() override {
        events.push_back("ExitInstance");
        return exitCode;
    }

    int Run(std::vector<std::string> args) {
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        return Main(static_cast<int>(args.size()), argv.data());
    }
};

TEST(ApplicationTest, TheTitleIsTheBaseNameOfTheProgram) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"/usr/bin/veltrix-settings", "veltrix-settings"},
        {"veltrix-settings", "veltrix-settings"},
        {"./build/app/Veltrix Settings", "Veltrix Settings"},
#ifdef _WIN32
        // Windows names the program without its extension, and by either slash.
        {"tool.exe", "tool"},
        {"C:\\Program Files\\Veltrix\\Tool.EXE", "Tool"},
        {"C:/bin/veltrix-settings.exe", "veltrix-settings"},
#else
        {"tool.exe", "tool.exe"},
        {"./bin\\tool", "bin\\tool"},
#endif
        {"", "test_framework"},
        {"/usr/bin/", "test_framework"},
    };
    for (const auto& [argv0, title] : cases) {
        TestApp app;
        app.Run({argv0});
        EXPECT_EQ(app.GetTitle(), title) << argv0;
        EXPECT_EQ(framework::ApplicationTitle(), title) << argv0;
    }
    TestApp app;
    EXPECT_EQ(app.Main(0, nullptr), 0);
    EXPECT_EQ(app.GetTitle(), "test_framework");
}

TEST(ApplicationTest, TheCurrentApplicationIsTheLatestOneAlive) {
    EXPECT_EQ(framework::Application::Current(), nullptr);
    TestApp outer;
    outer.Run({"/opt/outer"});
    {
        TestApp inner;
        inner.Run({"inner"});
        EXPECT_EQ(framework::Application::Current(), &inner);
        EXPECT_EQ(framework::ApplicationTitle(), "inner");
    }
    EXPECT_EQ(framework::Application::Current(), &outer);
    EXPECT_EQ(framework::ApplicationTitle(), "outer");
}

TEST(ApplicationTest, MainRunsStartUpThenExitAndReturnsTheExitCode) {
    TestApp app;
    app.exitCode = 3;
    EXPECT_EQ(app.Run({"app", "a", "b"}), 3);
    EXPECT_THAT(app.events, ElementsAre("InitInstance", "ExitInstance"));
    EXPECT_THAT(app.Arguments(), ElementsAre("a", "b"));
}

TEST(ApplicationTest, AutomationStartIsRecognisedInEitherOptionSyntax) {
    const std::vector<std::pair<std::vector<std::string>, bool>> cases = {
        {{"app"}, false},
        {{"app", "/Embedding"}, true},
        {{"app", "-Embedding"}, true},
        {{"app", "/Automation"}, true},
        {{"app", "-automation"}, true},
        {{"app", "/EMBEDDING"}, true},
        {{"app", "x", "-Automation"}, true},
        {{"app", "Embedding"}, false},
        {{"app", "--Embedding"}, false},
        {{"app", "/Embeddings"}, false},
        {{"app", "/Embed"}, false},
        {{"app", "/"}, false},
        {{"app", "/Regserver"}, false},
    };
    for (const auto& [args, automation] : cases) {
        TestApp app;
        app.Run(args);
        EXPECT_EQ(app.automation, automation) << args.back();
        EXPECT_EQ(app.userControlAfterTest, !automation) << args.back();
    }
}

class AppLockTest : public testing::Test {
protected:
    framework::RecordingHost host;
    framework::ScopedHost use{host};
    TestApp app;
    framework::PropertySheet window{0};
};

TEST_F(AppLockTest, UnderUserControlTheLastUnlockChangesNothing) {
    ASSERT_TRUE(window.Create());
    app.SetMainWindow(&window);
    app.LockApp();
    app.UnlockApp();
    EXPECT_EQ(app.GetLockCount(), 0);
    EXPECT_TRUE(window.IsCreated());
    EXPECT_FALSE(app.IsQuitRequested());
}

TEST_F(AppLockTest, TheLastUnlockOfAnAutomationStartDestroysTheEnabledMainWindow) {
    ASSERT_TRUE(window.Create());
    app.SetMainWindow(&window);
    app.SetUserControl(false);
    app.LockApp();
    app.LockApp();
    app.UnlockApp();
    EXPECT_TRUE(window.IsCreated());
    app.UnlockApp();
    EXPECT_FALSE(window.IsCreated());
    EXPECT_TRUE(app.IsUserControl());
    EXPECT_FALSE(host.QuitRequested());
}

TEST_F(AppLockTest, ADisabledMainWindowIsLeftAlone) {
    ASSERT_TRUE(window.Create());
    window.EnableWindow(false);
    app.SetMainWindow(&window);
    app.SetUserControl(false);
    app.LockApp();
    app.UnlockApp();
    EXPECT_TRUE(window.IsCreated());
    EXPECT_TRUE(app.IsUserControl());
}

TEST_F(AppLockTest, WithoutAMainWindowTheProgramIsAskedToQuit) {
    app.SetUserControl(false);
    app.LockApp();
    app.UnlockApp();
    EXPECT_TRUE(app.IsQuitRequested());
    EXPECT_TRUE(host.QuitRequested());
}

TEST_F(AppLockTest, AnUnlockWithoutALockIsIgnored) {
    app.SetUserControl(false);
    app.UnlockApp();
    EXPECT_EQ(app.GetLockCount(), 0);
    EXPECT_FALSE(app.IsQuitRequested());
    app.LockApp();
    EXPECT_EQ(app.GetLockCount(), 1);
}

TEST_F(AppLockTest, DestroyingTheRunningWizardEndsItsModalRun) {
    app.SetMainWindow(&window);
    app.SetUserControl(false);
    app.LockApp();
    host.SetModalScript([&](framework::PropertySheet& s) {
        app.UnlockApp();
        EXPECT_TRUE(s.IsEnded());
    });
    EXPECT_EQ(window.DoModal(), framework::IDCANCEL);
    EXPECT_FALSE(window.IsCreated());
}

}  // namespace
