#include "support/OsVersion.h"

#include "support/LinuxOsVersionSource.h"

namespace support {

OsVersionSource& CurrentOsVersionSource() {
    static LinuxOsVersionSource systemSource;
    OsVersionSource* replacement = ScopedOsVersionSource::Current();
    return replacement ? *replacement : systemSource;
}

}  // namespace support
