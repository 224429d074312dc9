#include "support/windows/OsVersionSourceWindows.h"

#include <windows.h>

#include <cstring>

namespace support {

bool OsVersionSourceWindows::Query(OsVersionInfo& info, std::uint32_t& errorCode) {
    // The basic record (148 bytes), not the extended one.
    OSVERSIONINFOA record{};
    record.dwOSVersionInfoSize = sizeof(record);
    if (!GetVersionExA(&record)) {
        errorCode = GetLastError();
        return false;
    }
    info = OsVersionInfo{};
    info.platformId = record.dwPlatformId;
    info.major = record.dwMajorVersion;
    info.minor = record.dwMinorVersion;
    info.build = record.dwBuildNumber;
    // The field is zero-terminated within its 128 bytes; a record without the zero is cut there.
    const char* servicePack = record.szCSDVersion;
    info.servicePack.assign(servicePack, strnlen(servicePack, sizeof(record.szCSDVersion)));
    return true;
}

OsVersionSource& SystemOsVersionSource() {
    static OsVersionSourceWindows source;
    return source;
}

}  // namespace support
