#pragma once

#include "support/OsVersion.h"

namespace support {

// The running Windows system: the basic version record of GetVersionExA, as it reports it.
class OsVersionSourceWindows final : public OsVersionSource {
public:
    bool Query(OsVersionInfo& info, std::uint32_t& errorCode) override;
};

}  // namespace support
