#include "support/OsVersion.h"

#include "support/LinuxOsVersionSource.h"

namespace support {
namespace {

LinuxOsVersionSource g_systemSource;
OsVersionSource* g_current = &g_systemSource;

}  // namespace

OsVersionSource& CurrentOsVersionSource() {
    return *g_current;
}

ScopedOsVersionSource::ScopedOsVersionSource(OsVersionSource& source) : m_previous(g_current) {
    g_current = &source;
}

ScopedOsVersionSource::~ScopedOsVersionSource() {
    g_current = m_previous;
}

}  // namespace support
