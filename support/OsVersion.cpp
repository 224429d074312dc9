#include "support/OsVersion.h"

namespace support {

OsVersionSource& CurrentOsVersionSource() {
    OsVersionSource* replacement = ScopedOsVersionSource::Current();
    return replacement ? *replacement : SystemOsVersionSource();
}

}  // namespace support
