#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "support/OsVersion.h"

namespace support {

// Platform id reported for Linux: neither of the two Windows families, so the version text
// keeps what the caller had and only the numbers are appended.
inline constexpr std::uint32_t LinuxPlatformId = 0;

// The running Linux system: major and minor from the kernel release (uname), build from its
// third number, and the distribution's PRETTY_NAME (os-release) as the service-pack text.
class OsVersionSourceLinux final : public OsVersionSource {
public:
    OsVersionSourceLinux();
    // The os-release files to try, first found wins.
    explicit OsVersionSourceLinux(std::vector<std::string> osReleasePaths);

    bool Query(OsVersionInfo& info, std::uint32_t& errorCode) override;

    // "6.1.0-18-amd64" gives major 6, minor 1, build 0; missing numbers give 0.
    static void ParseKernelRelease(std::string_view release, OsVersionInfo& info);
    // The PRETTY_NAME value of an os-release file, unquoted; "" when absent.
    static std::string ReadPrettyName(std::istream& in);

private:
    std::vector<std::string> m_osReleasePaths;
};

}  // namespace support
