#include "support/OsVersion.h"
#include "support/ValueString.h"

namespace {

struct PlatformName {
    const char* name;  // null: the text is kept
    int code;
};

// Platform 1 is the Windows 95 family, 2 the NT family; any other id names nothing.
PlatformName NameOf(const support::OsVersionInfo& info) {
    const auto major = info.major;
    const auto minor = info.minor;
    if (info.platformId == 1) {
        if (major < 4 || (major == 4 && minor == 0)) return {"Windows95 ", 1};
        if (major == 4 && minor < 90) return {"Windows98 ", 2};
        return {"WindowsME ", 6};
    }
    if (info.platformId == 2) {
        if (major <= 4) return {"WindowsNT ", 3};
        if (major == 5 && minor == 0) return {"Windows2000 ", 5};
        return {"WindowsXP ", 7};
    }
    return {nullptr, 0};
}

}  // namespace

int ValueString::SetOsVersionText() {
    support::OsVersionInfo info;
    std::uint32_t errorCode = 0;
    if (!support::CurrentOsVersionSource().Query(info, errorCode)) {
        text = "?? - Error getting VersionInfo: ";
        AppendULong(errorCode);
        return 0;
    }
    const PlatformName platform = NameOf(info);
    if (platform.name) text = platform.name;
    AppendULong(info.major);
    AppendText(".");
    AppendULong(info.minor);
    // The service-pack field is zero-terminated: it ends at its first zero byte.
    const char* servicePack = info.servicePack.c_str();
    if (*servicePack != '\0') {
        AppendText(" - ");
        AppendText(servicePack);
    }
    AppendText(" - Build ");
    AppendULong(info.build);
    return platform.code;
}
