#include "support/linux/OsVersionSourceLinux.h"

#include <sys/utsname.h>

#include <cerrno>
#include <charconv>
#include <fstream>

namespace support {
namespace {

// The version record's service-pack field holds 128 bytes with the terminating zero.
constexpr std::size_t MaxServicePackLength = 127;

// Undoes the shell quoting that os-release values may carry: "...", '...' or bare.
std::string Unquote(std::string_view value) {
    if (value.empty() || (value.front() != '"' && value.front() != '\'')) {
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) {
            value.remove_suffix(1);
        }
        return std::string(value);
    }
    const char quote = value.front();
    std::string out;
    for (std::size_t i = 1; i < value.size() && value[i] != quote; ++i) {
        if (quote == '"' && value[i] == '\\' && i + 1 < value.size()) ++i;
        out += value[i];
    }
    return out;
}

}  // namespace

OsVersionSourceLinux::OsVersionSourceLinux()
    : OsVersionSourceLinux({"/etc/os-release", "/usr/lib/os-release"}) {}

OsVersionSourceLinux::OsVersionSourceLinux(std::vector<std::string> osReleasePaths)
    : m_osReleasePaths(std::move(osReleasePaths)) {}

bool OsVersionSourceLinux::Query(OsVersionInfo& info, std::uint32_t& errorCode) {
    struct utsname names {};
    if (uname(&names) != 0) {
        errorCode = static_cast<std::uint32_t>(errno);
        return false;
    }
    info = OsVersionInfo{};
    info.platformId = LinuxPlatformId;
    ParseKernelRelease(names.release, info);
    for (const auto& path : m_osReleasePaths) {
        std::ifstream file(path);
        if (!file) continue;
        info.servicePack = ReadPrettyName(file).substr(0, MaxServicePackLength);
        break;
    }
    return true;
}

void OsVersionSourceLinux::ParseKernelRelease(std::string_view release, OsVersionInfo& info) {
    std::uint32_t* const fields[] = {&info.major, &info.minor, &info.build};
    const char* pos = release.data();
    const char* const end = release.data() + release.size();
    for (std::uint32_t* field : fields) {
        *field = 0;
    }
    for (std::uint32_t* field : fields) {
        const auto result = std::from_chars(pos, end, *field);
        if (result.ec != std::errc{}) return;
        pos = result.ptr;
        if (pos == end || *pos != '.') return;
        ++pos;
    }
}

std::string OsVersionSourceLinux::ReadPrettyName(std::istream& in) {
    constexpr std::string_view Key = "PRETTY_NAME=";
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.compare(0, Key.size(), Key) == 0)
            return Unquote(std::string_view(line).substr(Key.size()));
    }
    return "";
}

OsVersionSource& SystemOsVersionSource() {
    static OsVersionSourceLinux source;
    return source;
}

}  // namespace support
