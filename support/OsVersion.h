#pragma once

#include <cstdint>
#include <string>

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

// The source in force: the running system's unless a ScopedOsVersionSource replaced it.
OsVersionSource& CurrentOsVersionSource();

// Installs a source for the lifetime of this object (tests), then puts the previous one back.
class ScopedOsVersionSource {
public:
    explicit ScopedOsVersionSource(OsVersionSource& source);
    ~ScopedOsVersionSource();
    ScopedOsVersionSource(const ScopedOsVersionSource&) = delete;
    ScopedOsVersionSource& operator=(const ScopedOsVersionSource&) = delete;

private:
    OsVersionSource* m_previous;
};

}  // namespace support
