// The port list from the registry and the version record, on Wine's own registry and system.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/windows/ComPortDeviceWindows.h"
#include "device/windows/PortSourceWindows.h"
#include "support/ValueString.h"
#include "support/windows/OsVersionSourceWindows.h"

// After the project's headers: their truth values are the system's own.
#include <windows.h>

namespace {

// A key of the test's own under HKEY_LOCAL_MACHINE, holding the given values; removed after.
class TestKey {
public:
    struct Value {
        std::string name;
        std::string data;
        DWORD type = REG_SZ;
    };

    TestKey(const std::string& name, const std::vector<Value>& values)
        : m_subKey("Software\\Veltrix tests\\" + name) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_subKey.c_str());
        HKEY key = nullptr;
        created = RegCreateKeyExA(HKEY_LOCAL_MACHINE, m_subKey.c_str(), 0, nullptr, 0, KEY_WRITE,
                                  nullptr, &key, nullptr) == ERROR_SUCCESS;
        for (const Value& value : values) {
            // Text values are stored with their terminating zero, binary ones without.
            const DWORD size = static_cast<DWORD>(value.data.size() + (value.type == REG_SZ));
            created = created && RegSetValueExA(key, value.name.c_str(), 0, value.type,
                                                reinterpret_cast<const BYTE*>(value.data.c_str()),
                                                size) == ERROR_SUCCESS;
        }
        if (key) RegCloseKey(key);
    }
    ~TestKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, m_subKey.c_str()); }

    const std::string& SubKey() const { return m_subKey; }
    bool created = false;

private:
    std::string m_subKey;
};

// The port list a device reads from a key.
struct ListedPorts {
    explicit ListedPorts(const std::string& subKey) : source(subKey) {
        const device::ScopedPortSource scoped(source);
        port = std::make_unique<ComPortDeviceWindows>();
    }
    device::PortSourceWindows source;
    std::unique_ptr<ComPortDevice> port;
};

TEST(RegistryPorts, LabelsAndNumbersFollowTheValues) {
    const std::string longName = "\\Device\\" + std::string(400, 'L');
    const std::string longData = "COM9" + std::string(300, ' ');
    TestKey key("labels", {{"\\Device\\Serial0", "COM1"},
                           {"\\Device\\Serial2", "COM3"},
                           {"COM5", "COM5"},
                           {longName, longData},
                           {"\\Device\\Parallel0", "LPT1"},
                           {"\\Device\\Zero", "COM0"},
                           {"\\Device\\X", "COMX"},
                           {"\\Device\\Lowercase", "com4"},
                           {"\\Device\\Beyond", "COM257"},
                           {"\\Device\\Last", "COM256"},
                           {"\\Device\\Serial9", "COM3"},
                           {"\\Device\\Binary", "COM7", REG_BINARY}});
    ASSERT_TRUE(key.created);
    ListedPorts ports(key.SubKey());
    ComPortDevice& device = *ports.port;

    EXPECT_EQ(device.GetPortCount(), 256);
    EXPECT_EQ(device.GetPortName(1), "Serial0  ( COM1 )");
    EXPECT_EQ(device.GetPortName(2), "");
    // Of two values for one number the later wins (Wine enumerates by name).
    EXPECT_EQ(device.GetPortName(3), "Serial9  ( COM3 )");
    EXPECT_EQ(device.GetPortDeviceName(3), "COM3:");
    EXPECT_EQ(device.GetPortName(4), "");
    EXPECT_EQ(device.GetPortName(5), "COM5");
    EXPECT_EQ(device.GetPortDeviceName(5), "COM5:");
    // The data type is not looked at; no name or data is cut.
    EXPECT_EQ(device.GetPortName(7), "Binary  ( COM7 )");
    EXPECT_EQ(device.GetPortName(9), std::string(400, 'L') + "  ( " + longData + " )");
    EXPECT_EQ(device.GetPortDeviceName(9), "COM9:");
    EXPECT_EQ(device.GetPortName(256), "Last  ( COM256 )");
}

TEST(RegistryPorts, AnEmptyOrMissingKeyListsNoPorts) {
    TestKey empty("empty", {});
    ASSERT_TRUE(empty.created);
    for (const std::string& subKey :
         {empty.SubKey(), std::string("Software\\Veltrix tests\\none")}) {
        ListedPorts ports(subKey);
        EXPECT_EQ(ports.port->GetPortCount(), -1) << subKey;
        EXPECT_EQ(ports.port->GetPortName(1), "") << subKey;
        EXPECT_EQ(ports.port->InitSerial(1), FALSE);
        EXPECT_EQ(ports.port->GetLastErrorText(),
                  "\nTry InitSerial on Port \n --- ERR: wrong PortNumber");
    }
}

TEST(WindowsVersion, TheRunningSystemIsOfTheNtFamily) {
    support::OsVersionSourceWindows source;
    support::OsVersionInfo info;
    std::uint32_t error = 0;
    ASSERT_TRUE(source.Query(info, error)) << error;
    EXPECT_EQ(info.platformId, static_cast<std::uint32_t>(VER_PLATFORM_WIN32_NT));

    ValueString text("old");
    const int code = text.SetOsVersionText();
    const int expected = info.major > 5 || (info.major == 5 && info.minor >= 1) ? 7 : 5;
    EXPECT_EQ(code, expected);
    EXPECT_EQ(text.text.substr(0, 10), expected == 7 ? "WindowsXP " : "Windows200");
    EXPECT_NE(text.text.find(std::to_string(info.major) + "." + std::to_string(info.minor)),
              std::string::npos);
    EXPECT_EQ(text.text.substr(text.text.size() - std::to_string(info.build).size()),
              std::to_string(info.build));
}

}  // namespace
