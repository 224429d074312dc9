// The activation file that lets the session bus start the program for an automation client.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/AutomationNames.h"
#include "app/linux/ServiceFile.h"

namespace {

namespace fs = std::filesystem;

// Sets or clears an environment variable for the lifetime of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        m_had = std::getenv(name) != nullptr;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (m_had) {
            setenv(m_name, m_old.c_str(), 1);
        } else {
            unsetenv(m_name);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::string m_old;
    bool m_had = false;
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ServiceFileTest, ThePathFollowsTheDataHome) {
    const struct {
        const char* dataHome;
        const char* home;
        const char* path;
    } cases[] = {
        {"/data", "/home/u", "/data/dbus-1/services/VeltrixInstrumentSettings.Application.service"},
        {nullptr, "/home/u",
         "/home/u/.local/share/dbus-1/services/VeltrixInstrumentSettings.Application.service"},
        // A relative data home is not valid and is ignored.
        {"relative", "/home/u",
         "/home/u/.local/share/dbus-1/services/VeltrixInstrumentSettings.Application.service"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        ScopedEnv data("XDG_DATA_HOME", c.dataHome);
        ScopedEnv home("HOME", c.home);
        EXPECT_EQ(app::ServiceFilePath(), c.path);
    }
}

TEST(ServiceFileTest, TheFileNamesTheBusNameAndStartsTheProgramForAutomation) {
    EXPECT_EQ(app::ServiceFileText("/usr/bin/veltrix-instrument-settings"),
              "[D-BUS Service]\n"
              "Name=VeltrixInstrumentSettings.Application\n"
              "Exec=/usr/bin/veltrix-instrument-settings -Automation\n");
    // Quoted for the command line, and that escaped as the file's values are: the bus takes
    // no backslash but \\, \s, \t, \n and \r.
    EXPECT_EQ(app::ServiceFileText("/opt/My Tools/it's"),
              "[D-BUS Service]\n"
              "Name=VeltrixInstrumentSettings.Application\n"
              "Exec='/opt/My Tools/it'\\\\''s' -Automation\n");
}

// Whatever the path holds, the bus reads back the same program.
TEST(ServiceFileTest, EveryPathReadsBackAsItWasWritten) {
    for (const std::string path :
         {"/usr/bin/a", "/opt/My Tools/it's", "/opt/a\\b/c", "/opt/\"quoted\"/x", "/opt/$HOME/`x`",
          "/opt/tab\there", "/opt/new\nline", "/opt/'", "/opt/caf\xc3\xa9"}) {
        const std::string text = app::ServiceFileText(path);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3) << text;
        EXPECT_EQ(app::ServiceFileProgram(text), path) << text;
    }
    // Read as the bus reads the package's file and others.
    EXPECT_EQ(app::ServiceFileProgram("[D-BUS Service]\nName=VeltrixInstrumentSettings."
                                      "Application\nExec=\"/a b/c\" -Automation\n"),
              "/a b/c");
    EXPECT_EQ(app::ServiceFileProgram("[D-BUS Service]\nName=Other\nExec=/a\n"), std::nullopt);
    EXPECT_EQ(app::ServiceFileProgram("[D-BUS Service]\nName=VeltrixInstrumentSettings."
                                      "Application\nExec='/a\\'' -Automation\n"),
              std::nullopt)
        << "an escape the bus refuses";
}

// A folder per test with a system folder, a per-user file and two programs that exist.
class ServiceFileUpdate : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = testing::TempDir() + "service-file-" + std::to_string(getpid());
        fs::remove_all(m_dir);
        fs::create_directories(m_dir + "/system");
        for (const char* program : {"/this", "/other"}) {
            std::ofstream(m_dir + program) << "#!/bin/sh\n";
            fs::permissions(m_dir + program, fs::perms::owner_all);
        }
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string User() const { return m_dir + "/user/dbus-1/services/x.service"; }
    std::string System() const { return m_dir + "/system/" + app::kBusName + ".service"; }
    std::string m_dir;
};

TEST_F(ServiceFileUpdate, OnlyAMissingOrStaleRegistrationIsWritten) {
    const struct {
        const char* name;
        const char* system;  // the program the system file names; null: no system file
        const char* user;    // the program the per-user file names; null: none
        const char* result;  // what the per-user file names afterwards; null: none
    } cases[] = {
        {"NothingYet", nullptr, nullptr, "/this"},
        {"StaleUserFile", nullptr, "/gone", "/this"},
        {"AnotherBuildKeepsIt", nullptr, "/other", "/other"},
        {"ThisBuildAlready", nullptr, "/this", "/this"},
        {"ThePackageServes", "/other", nullptr, nullptr},
        {"ThePackageServesAndUserFileStays", "/other", "/gone", "/gone"},
        {"AStalePackageFile", "/gone", nullptr, "/this"},
    };
    for (const auto& c : cases) {
        fs::remove_all(m_dir + "/user");
        fs::remove(System());
        if (c.system != nullptr) std::ofstream(System()) << app::ServiceFileText(m_dir + c.system);
        if (c.user != nullptr) {
            fs::create_directories(fs::path(User()).parent_path());
            std::ofstream(User()) << app::ServiceFileText(m_dir + c.user);
        }
        std::string error;
        ASSERT_TRUE(app::UpdateServiceFile(User(), {m_dir + "/system"}, m_dir + "/this", error))
            << c.name << ": " << error;
        if (c.result == nullptr) {
            EXPECT_FALSE(fs::exists(User())) << c.name;
        } else {
            EXPECT_EQ(ReadFile(User()), app::ServiceFileText(m_dir + c.result)) << c.name;
        }
    }
}

TEST_F(ServiceFileUpdate, WritingMakesTheFoldersAndLeavesNoTemporaryFile) {
    std::string error;
    ASSERT_TRUE(app::UpdateServiceFile(User(), {}, m_dir + "/this", error)) << error;
    EXPECT_EQ(ReadFile(User()), app::ServiceFileText(m_dir + "/this"));
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(User()).parent_path()),
                            fs::directory_iterator()),
              1);
    EXPECT_FALSE(app::UpdateServiceFile(User() + "x", {}, "/opt/\xff", error));
    EXPECT_NE(error.find("not UTF-8"), std::string::npos) << error;
}

TEST(ServiceFileTest, RemovingDeletesTheFileAndAMissingOneIsNoFailure) {
    const std::string path = testing::TempDir() + "/remove-test.service";
    std::string error;
    ASSERT_TRUE(app::UpdateServiceFile(path, {}, "/usr/bin/a", error)) << error;
    EXPECT_TRUE(app::RemoveServiceFile(path, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(app::RemoveServiceFile(path, error)) << error;
    EXPECT_FALSE(app::RemoveServiceFile("/proc/version", error));
    EXPECT_NE(error.find("/proc/version"), std::string::npos);
}

TEST(ServiceFileTest, AFolderThatCannotBeMadeIsReported) {
    std::string error;
    EXPECT_FALSE(app::UpdateServiceFile("/dev/null/dbus-1/services/x.service", {}, "/a", error));
    EXPECT_NE(error.find("/dev/null/dbus-1/services/x.service"), std::string::npos) << error;
    EXPECT_FALSE(app::UpdateServiceFile("", {}, "/a", error));
    EXPECT_NE(error.find("HOME"), std::string::npos);
}

TEST(AutomationNamesTest, TheInterfaceIsNamedAfterItsId) {
    EXPECT_EQ(
        std::string("VeltrixInstrumentSettings.") + app::InterfaceElementFromId(app::kInterfaceId),
        app::kAutomationInterface);
    EXPECT_EQ(app::InterfaceElementFromId("{1-2}"), "IID_1_2");
}

}  // namespace
