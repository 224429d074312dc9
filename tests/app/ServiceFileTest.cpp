// The activation file that lets the session bus start the program for an automation client.

#include <gtest/gtest.h>

#include <sys/stat.h>

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
    EXPECT_EQ(app::ServiceFileText("/opt/My Tools/it's"),
              "[D-BUS Service]\n"
              "Name=VeltrixInstrumentSettings.Application\n"
              "Exec='/opt/My Tools/it'\\''s' -Automation\n");
}

TEST(ServiceFileTest, WritingMakesTheFoldersAndLeavesAnEqualFileAlone) {
    const std::string dir = testing::TempDir() + "service-file-test";
    fs::remove_all(dir);
    const std::string path = dir + "/dbus-1/services/x.service";
    std::string error;
    ASSERT_TRUE(app::WriteServiceFile(path, "/usr/bin/a", error)) << error;
    EXPECT_EQ(ReadFile(path), app::ServiceFileText("/usr/bin/a"));
    const auto written = fs::last_write_time(path);
    // The same text again: the file is not touched.
    ASSERT_TRUE(app::WriteServiceFile(path, "/usr/bin/a", error));
    EXPECT_EQ(fs::last_write_time(path), written);
    // Another program: replaced, and no temporary file is left behind.
    ASSERT_TRUE(app::WriteServiceFile(path, "/usr/bin/b", error));
    EXPECT_EQ(ReadFile(path), app::ServiceFileText("/usr/bin/b"));
    EXPECT_EQ(
        std::distance(fs::directory_iterator(dir + "/dbus-1/services"), fs::directory_iterator()),
        1);
    fs::remove_all(dir);
}

TEST(ServiceFileTest, RemovingDeletesTheFileAndAMissingOneIsNoFailure) {
    const std::string path = testing::TempDir() + "/remove-test.service";
    std::string error;
    ASSERT_TRUE(app::WriteServiceFile(path, "/usr/bin/a", error)) << error;
    EXPECT_TRUE(app::RemoveServiceFile(path, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(app::RemoveServiceFile(path, error)) << error;
    EXPECT_FALSE(app::RemoveServiceFile("/proc/version", error));
    EXPECT_NE(error.find("/proc/version"), std::string::npos);
}

TEST(ServiceFileTest, AFolderThatCannotBeMadeIsReported) {
    std::string error;
    EXPECT_FALSE(app::WriteServiceFile("/dev/null/dbus-1/services/x.service", "/a", error));
    EXPECT_NE(error.find("/dev/null/dbus-1/services/x.service"), std::string::npos) << error;
    EXPECT_FALSE(app::WriteServiceFile("", "/a", error));
    EXPECT_NE(error.find("HOME"), std::string::npos);
}

TEST(AutomationNamesTest, TheInterfaceIsNamedAfterItsId) {
    EXPECT_EQ(
        std::string("VeltrixInstrumentSettings.") + app::InterfaceElementFromId(app::kInterfaceId),
        app::kAutomationInterface);
    EXPECT_EQ(app::InterfaceElementFromId("{1-2}"), "IID_1_2");
}

}  // namespace
