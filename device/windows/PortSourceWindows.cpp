#include "device/windows/PortSourceWindows.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace device {
namespace {

// An open registry key, read value by value; closed with the map.
class RegistryPortMap final : public PortMap {
public:
    explicit RegistryPortMap(HKEY key) : m_key(key) {}
    ~RegistryPortMap() override { RegCloseKey(m_key); }
    RegistryPortMap(const RegistryPortMap&) = delete;
    RegistryPortMap& operator=(const RegistryPortMap&) = delete;

    ReadStatus ReadValue(int index, PortValue& value) override {
        // The key may change between reads: a value larger than the buffers grows them and is
        // read again, a few times at most.
        for (int attempt = 0; attempt < 4; ++attempt) {
            if (m_name.empty() && !SizeBuffers()) return ReadStatus::Failed;
            DWORD nameLength = static_cast<DWORD>(m_name.size());
            DWORD dataLength = static_cast<DWORD>(m_data.size());
            const LSTATUS status =
                RegEnumValueA(m_key, static_cast<DWORD>(index), m_name.data(), &nameLength, nullptr,
                              nullptr, m_data.data(), &dataLength);
            if (status == ERROR_NO_MORE_ITEMS) return ReadStatus::NoMoreItems;
            if (status == ERROR_MORE_DATA) {
                m_name.clear();
                continue;
            }
            if (status != ERROR_SUCCESS) return ReadStatus::Failed;
            value.name.assign(m_name.data(), nameLength);
            // The data is taken as text, whatever its type says, up to its first zero byte.
            const auto* data = reinterpret_cast<const char*>(m_data.data());
            value.data.assign(data, strnlen(data, dataLength));
            return ReadStatus::Value;
        }
        return ReadStatus::Failed;
    }

private:
    // Room for the key's longest value name and data, with their terminating zeros.
    bool SizeBuffers() {
        DWORD maxName = 0;
        DWORD maxData = 0;
        if (RegQueryInfoKeyA(m_key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        // Grown beyond the last sizes, in case the key grew since it was asked.
        m_name.assign(std::max<std::size_t>(maxName + 1, m_name.capacity() * 2), '\0');
        m_data.assign(std::max<std::size_t>(maxData + 1, m_data.capacity() * 2), 0);
        return true;
    }

    HKEY m_key;
    std::vector<char> m_name;
    std::vector<BYTE> m_data;
};

}  // namespace

PortSourceWindows::PortSourceWindows(std::string subKey) : m_subKey(std::move(subKey)) {}

std::unique_ptr<PortMap> PortSourceWindows::Open() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, m_subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<RegistryPortMap>(key);
}

bool IsDriverObjectName(const std::string& name) {
    return name.starts_with('\\') && !name.starts_with("\\\\");
}

std::string PortOpenName(const PortValue& value) {
    return IsDriverObjectName(value.name) ? value.data : value.name;
}

PortSource& SystemPortSource() {
    static PortSourceWindows source;
    return source;
}

}  // namespace device
