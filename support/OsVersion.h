#pragma once

#include <cstdint>
#include <string>

#include "support/ScopedOverride.h"

namespace support {

// The five fields of the operating system's version record.
struct OsVersionInfo {
    std::uint32_t platformId = 0;
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    std::uint32_t build = 0;
    std::string servicePack;
};

// Where ValueString::SetOsVersionText gets the version record from.
class OsVersionSource {
public:
    virtual ~OsVersionSource() = default;
    // Fills info and returns true; on failure returns false with the system's error code.
    virtual bool Query(OsVersionInfo& info, std::uint32_t& errorCode) = 0;
};

// Installs a source on this thread for the lifetime of the object (tests).
using ScopedOsVersionSource = ScopedOverride<OsVersionSource>;

// The running system's own source: uname and os-release on Linux, GetVersionExA on Windows.
// Defined by the build's platform source.
OsVersionSource& SystemOsVersionSource();

// The source in force on this thread: the running system's unless a ScopedOsVersionSource
// replaced it.
OsVersionSource& CurrentOsVersionSource();

}  // namespace support
