#include "support/linux/OsVersionSourceLinux.h"

#include <sys/utsname.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "support/ValueString.h"

namespace {

TEST(OsVersionSourceLinux, ParsesKernelReleases) {
    const struct {
        const char* release;
        std::uint32_t major, minor, build;
    } cases[] = {
        {"6.1.0-18-amd64", 6, 1, 0},
        {"5.15.133+", 5, 15, 133},
        {"6.8.12.3", 6, 8, 12},
        {"6", 6, 0, 0},
        {"6.", 6, 0, 0},
        {"", 0, 0, 0},
        {"abc", 0, 0, 0},
        {"99999999999.1", 0, 0, 0},
    };
    for (const auto& c : cases) {
        support::OsVersionInfo info{7, 7, 7, 7, ""};
        support::OsVersionSourceLinux::ParseKernelRelease(c.release, info);
        EXPECT_EQ(info.major, c.major) << c.release;
        EXPECT_EQ(info.minor, c.minor) << c.release;
        EXPECT_EQ(info.build, c.build) << c.release;
    }
}

TEST(OsVersionSourceLinux, ReadsThePrettyName) {
    const struct {
        const char* file;
        const char* name;
    } cases[] = {
        {"NAME=x\nPRETTY_NAME=\"Debian GNU/Linux 12 (bookworm)\"\nID=debian\n",
         "Debian GNU/Linux 12 (bookworm)"},
        {"PRETTY_NAME='Single \"quoted\"'\n", "Single \"quoted\""},
        {"PRETTY_NAME=\"Say \\\"hi\\\" \\\\ \\$\"\r\n", "Say \"hi\" \\ $"},
        {"PRETTY_NAME=Bare \r\n", "Bare"},
        {"PRETTY_NAME=\"Unterminated", "Unterminated"},
        {"MY_PRETTY_NAME=no\nNAME=x\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.file);
        EXPECT_EQ(support::OsVersionSourceLinux::ReadPrettyName(in), c.name) << c.file;
    }
}

TEST(OsVersionSourceLinux, DescribesTheRunningSystem) {
    const std::string path = ::testing::TempDir() + "veltrix-os-release";
    std::ofstream(path) << "PRETTY_NAME=\"Test OS 1\"\n";
    struct utsname names {};
    ASSERT_EQ(uname(&names), 0);
    support::OsVersionInfo expected;
    support::OsVersionSourceLinux::ParseKernelRelease(names.release, expected);

    support::OsVersionSourceLinux source({"/nonexistent/os-release", path});
    support::ScopedOsVersionSource scoped(source);
    ValueString value("Linux ");
    EXPECT_EQ(value.SetOsVersionText(), 0);
    EXPECT_EQ(value.text, "Linux " + std::to_string(expected.major) + "." +
                              std::to_string(expected.minor) + " - Test OS 1 - Build " +
                              std::to_string(expected.build));

    support::OsVersionSourceLinux withoutRelease({"/nonexistent/os-release"});
    support::OsVersionInfo info;
    std::uint32_t error = 0;
    ASSERT_TRUE(withoutRelease.Query(info, error));
    EXPECT_EQ(info.platformId, support::LinuxPlatformId);
    EXPECT_EQ(info.servicePack, "");
    std::remove(path.c_str());
}

}  // namespace
