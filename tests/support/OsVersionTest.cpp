#include <string>

#include <gtest/gtest.h>

#include "support/OsVersion.h"
#include "support/ValueString.h"

namespace {

class FakeOsVersionSource final : public support::OsVersionSource {
public:
    bool Query(support::OsVersionInfo& out, std::uint32_t& errorCode) override {
        if (fails) {
            errorCode = error;
            return false;
        }
        out = info;
        return true;
    }
    support::OsVersionInfo info;
    bool fails = false;
    std::uint32_t error = 0;
};

TEST(OsVersionText, NamesAndCodesOfBothWindowsFamilies) {
    const struct {
        std::uint32_t platform, major, minor, build;
        const char* servicePack;
        const char* text;
        int code;
    } cases[] = {
        {1, 4, 0, 950, "", "Windows95 4.0 - Build 950", 1},
        {1, 3, 95, 1, "", "Windows95 3.95 - Build 1", 1},
        {1, 4, 10, 2222, " A ", "Windows98 4.10 -  A  - Build 2222", 2},
        {1, 4, 89, 0, "", "Windows98 4.89 - Build 0", 2},
        {1, 4, 90, 3000, "", "WindowsME 4.90 - Build 3000", 6},
        {1, 5, 0, 0, "", "WindowsME 5.0 - Build 0", 6},
        {2, 3, 51, 1057, "", "WindowsNT 3.51 - Build 1057", 3},
        {2, 4, 0, 1381, "Service Pack 6", "WindowsNT 4.0 - Service Pack 6 - Build 1381", 3},
        {2, 5, 0, 2195, "", "Windows2000 5.0 - Build 2195", 5},
        {2, 5, 1, 2600, "Service Pack 1", "WindowsXP 5.1 - Service Pack 1 - Build 2600", 7},
        {2, 6, 0, 4294967295u, "", "WindowsXP 6.0 - Build 4294967295", 7},
    };
    FakeOsVersionSource source;
    support::ScopedOsVersionSource scoped(source);
    for (const auto& c : cases) {
        source.info = {c.platform, c.major, c.minor, c.build, c.servicePack};
        ValueString value("previous ");
        EXPECT_EQ(value.SetOsVersionText(), c.code) << c.text;
        EXPECT_EQ(value.text, c.text);
    }
}

TEST(OsVersionText, OtherPlatformsKeepTheTextAndAppendTheVersion) {
    FakeOsVersionSource source;
    support::ScopedOsVersionSource scoped(source);
    for (std::uint32_t platform : {0u, 3u, 99u}) {
        source.info = {platform, 6, 1, 76, std::string("Debian\0junk", 11)};
        ValueString value("Linux ");
        EXPECT_EQ(value.SetOsVersionText(), 0);
        EXPECT_EQ(value.text, "Linux 6.1 - Debian - Build 76");
    }
}

TEST(OsVersionText, FailedQueryReportsTheErrorCode) {
    FakeOsVersionSource source;
    source.fails = true;
    source.error = 4294967295u;
    support::ScopedOsVersionSource scoped(source);
    ValueString value("previous");
    EXPECT_EQ(value.SetOsVersionText(), 0);
    EXPECT_EQ(value.text, "?? - Error getting VersionInfo: 4294967295");
}

TEST(OsVersionText, ScopedSourceIsRestored) {
    support::OsVersionSource* before = &support::CurrentOsVersionSource();
    {
        FakeOsVersionSource source;
        support::ScopedOsVersionSource scoped(source);
        EXPECT_EQ(&support::CurrentOsVersionSource(), &source);
    }
    EXPECT_EQ(&support::CurrentOsVersionSource(), before);
}

}  // namespace
