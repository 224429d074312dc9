#include <gtest/gtest.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/PortSource.h"
#include "device/linux/ComPortDeviceLinux.h"
#include "device/linux/NaturalOrder.h"
#include "device/linux/PortSourceLinux.h"
#include "tests/testkit/PortSourceFake.h"
#include "tests/testkit/SerialOsLinuxFake.h"

namespace {

namespace fs = std::filesystem;
using device::PortValue;

// The labels of ports 1 .. GetPortCount, port by port.
std::vector<std::string> Labels(ComPortDevice& device) {
    std::vector<std::string> labels;
    for (int port = 1; port <= device.GetPortCount(); ++port) {
        labels.push_back(device.GetPortName(port));
    }
    return labels;
}

struct Discovery {
    Discovery(std::initializer_list<PortValue> values) : source(values) {}
    testkit_test::SerialOsLinuxFake os;
    testkit_test::PortSourceFake source;
    device::ScopedPortSource scope{source};
};

TEST(PortDiscovery, PortsAreNumberedByTheirComData) {
    Discovery d({{"\\Device\\Serial0", "COM1"}, {"\\Device\\Serial1", "COM3"}});
    ComPortDeviceLinux device(d.os);
    EXPECT_EQ(device.GetPortCount(), 3);
    EXPECT_EQ(Labels(device),
              (std::vector<std::string>{"Serial0  ( COM1 )", "", "Serial1  ( COM3 )"}));
    EXPECT_EQ(device.GetPortDeviceName(1), "COM1:");
    EXPECT_EQ(device.GetPortDeviceName(2), "");
    EXPECT_EQ(device.GetPortDeviceName(3), "COM3:");
    EXPECT_EQ(device.GetPortName(4), "");
    EXPECT_EQ(device.GetPortName(-1), "");
}

TEST(PortDiscovery, LabelKeepsTheNameAfterItsLastBackslashOrTheWholeName) {
    Discovery d(
        {{"/dev/ttyUSB0", "COM1"}, {"a\\b\\c", "COM2"}, {"COM5", "COM5"}, {"trailing\\", "COM4"}});
    ComPortDeviceLinux device(d.os);
    EXPECT_EQ(Labels(device), (std::vector<std::string>{"/dev/ttyUSB0  ( COM1 )", "c  ( COM2 )", "",
                                                        "  ( COM4 )", "COM5"}));
    EXPECT_EQ(device.GetPortDeviceName(1), "COM1:");
    EXPECT_EQ(device.GetPortDeviceName(5), "COM5:");
}

TEST(PortDiscovery, ValuesThatNameNoUsablePortAreSkipped) {
    // Each of these alone leaves the table without rows.
    for (const char* data : {"COM0", "COMX", "COM", "COM-3", "COM257", "COM4294967295", "com4",
                             "LPT1", "CO", "", " COM1"}) {
        SCOPED_TRACE(data);
        Discovery d({{"\\Device\\Serial0", data}});
        ComPortDeviceLinux device(d.os);
        EXPECT_EQ(device.GetPortCount(), -1);
        EXPECT_EQ(device.GetPortName(1), "");
    }
}

TEST(PortDiscovery, PortNumberIsTheDecimalNumberAtTheStartOfTheRest) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"COM12", 12}, {"COM007", 7}, {"COM3abc", 3}, {"COM 9", 9}, {"COM+4", 4}, {"COM256", 256}};
    for (const auto& [data, number] : cases) {
        SCOPED_TRACE(data);
        Discovery d({{"n", data}});
        ComPortDeviceLinux device(d.os);
        EXPECT_EQ(device.GetPortCount(), number);
        EXPECT_EQ(device.GetPortName(number), "n  ( " + data + " )");
    }
}

TEST(PortDiscovery, TheLaterOfTwoValuesForOnePortWins) {
    Discovery d({{"first", "COM2"}, {"second", "COM2"}, {"other", "COM1"}});
    ComPortDeviceLinux device(d.os);
    EXPECT_EQ(Labels(device), (std::vector<std::string>{"other  ( COM1 )", "second  ( COM2 )"}));
}

TEST(PortDiscovery, NoValuesOrAnUnreadableMapLeaveNoPorts) {
    Discovery empty{};
    ComPortDeviceLinux none(empty.os);
    EXPECT_EQ(none.GetPortCount(), -1);

    Discovery unreadable({{"a", "COM1"}});
    unreadable.source.openFails = true;
    ComPortDeviceLinux closed(unreadable.os);
    EXPECT_EQ(closed.GetPortCount(), -1);
    EXPECT_EQ(closed.GetPortName(1), "");
}

TEST(PortDiscovery, AnEnumerationThatEndsInAnErrorDropsTheWholeTable) {
    Discovery d({{"a", "COM1"}, {"b", "COM2"}, {"c", "COM3"}});
    d.source.failAt = 2;
    ComPortDeviceLinux device(d.os);
    EXPECT_EQ(device.GetPortCount(), -1);
    EXPECT_EQ(device.GetPortName(1), "");
    EXPECT_EQ(device.GetPortDeviceName(1), "");
}

TEST(PortDiscovery, PortNameZeroIsTheCurrentPort) {
    Discovery d({{"a", "COM1"}, {"b", "COM2"}});
    ComPortDeviceLinux device(d.os);
    EXPECT_EQ(device.GetPortName(0), "");
    device.SetPortNumber(2);
    EXPECT_EQ(device.GetPortName(0), "b  ( COM2 )");
    EXPECT_EQ(device.GetPortDeviceName(0), "COM2:");
}

TEST(PortDiscovery, EnumeratePortsRebuildsTheTable) {
    Discovery d({{"a", "COM4"}});
    ComPortDeviceLinux device(d.os);
    EXPECT_EQ(device.GetPortCount(), 4);
    d.source.values = {{"b", "COM2"}};
    device.EnumeratePorts();
    EXPECT_EQ(Labels(device), (std::vector<std::string>{"", "b  ( COM2 )"}));
    d.source.openFails = true;
    device.EnumeratePorts();
    EXPECT_EQ(device.GetPortCount(), -1);
}

TEST(NaturalOrder, DigitRunsCompareByValue) {
    const std::vector<std::string> sorted = {"ttyACM0", "ttyACM9",  "ttyACM10", "ttyS0",
                                             "ttyS2",   "ttyS10",   "ttyUSB",   "ttyUSB1",
                                             "ttyUSB2", "ttyUSB10", "ttyUSB11", "ttyUSB100"};
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        for (std::size_t j = 0; j < sorted.size(); ++j) {
            EXPECT_EQ(device::NaturalLess(sorted[i], sorted[j]), i < j)
                << sorted[i] << " vs " << sorted[j];
        }
    }
}

TEST(NaturalOrder, LeadingZerosAndLongRunsStayStrictlyOrdered) {
    EXPECT_TRUE(device::NaturalLess("ttyUSB02", "ttyUSB2"));
    EXPECT_FALSE(device::NaturalLess("ttyUSB2", "ttyUSB02"));
    EXPECT_TRUE(device::NaturalLess("a99999999999999999999", "a100000000000000000000"));
    EXPECT_TRUE(device::NaturalLess("a1b", "a01c"));
    EXPECT_FALSE(device::NaturalLess("x", "x"));
}

// A sysfs class folder and a /dev folder in a temporary directory.
class PortSourceLinuxTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "veltrix-ports-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        sys = root / "sys";
        dev = root / "dev";
        fs::create_directories(sys);
        fs::create_directories(dev);
    }
    void TearDown() override {
        device::SetExtraPorts({});
        fs::remove_all(root);
    }

    // A tty entry; with a device folder when it has hardware behind it, and a UART type file
    // when given one (-1: none).
    void AddTty(const std::string& name, bool hasDevice, int uartType = -1) {
        fs::create_directories(sys / name);
        if (hasDevice) fs::create_directories(sys / name / "device");
        if (uartType >= 0) std::ofstream(sys / name / "type") << uartType << "\n";
        std::ofstream(dev / name).put('\0');
    }
    std::string Node(const std::string& name) const { return (dev / name).string(); }

    fs::path root;
    fs::path sys;
    fs::path dev;
    testkit_test::SerialOsLinuxFake os;
};

TEST_F(PortSourceLinuxTest, ListsDevicesWithHardwareInNaturalOrder) {
    AddTty("ttyUSB10", true);
    AddTty("ttyUSB2", true);
    AddTty("ttyACM0", true);
    AddTty("tty1", false);
    AddTty("ttyUSB1", false);
    AddTty("ttyS0", true, 4);  // a 16550A
    AddTty("ttyS1", true, 0);  // no UART at this address
    AddTty("ttyS2", true);     // no type in sysfs: probed
    AddTty("ttyS3", true);
    os.SetRealUarts({Node("ttyS2")});

    device::PortSourceLinux source(sys.string(), dev.string(), os);
    EXPECT_EQ(source.ScanDevices(),
              (std::vector<std::string>{Node("ttyACM0"), Node("ttyS0"), Node("ttyS2"),
                                        Node("ttyUSB2"), Node("ttyUSB10")}));
    // Only the ttyS nodes without a type were opened, and only to probe them.
    EXPECT_EQ(os.Calls(),
              (std::vector<std::string>{"probe " + Node("ttyS2"), "probe " + Node("ttyS3")}));
}

TEST_F(PortSourceLinuxTest, ExtraPortsComeFirstAndEveryNodeIsListedOnce) {
    AddTty("ttyUSB0", true);
    AddTty("ttyUSB1", true);
    fs::create_directories(dev / "serial");
    fs::create_symlink(dev / "ttyUSB1", dev / "serial" / "adapter");
    device::SetExtraPorts({"/dev/pts/7", "", (dev / "serial" / "adapter").string(), "/dev/pts/7"});

    device::PortSourceLinux source(sys.string(), dev.string(), os);
    device::ScopedPortSource scope(source);
    ComPortDeviceLinux device(os);
    EXPECT_EQ(Labels(device),
              (std::vector<std::string>{"/dev/pts/7  ( COM1 )",
                                        (dev / "serial" / "adapter").string() + "  ( COM2 )",
                                        Node("ttyUSB0") + "  ( COM3 )"}));
    EXPECT_EQ(device.GetPortDeviceName(3), "COM3:");
}

TEST_F(PortSourceLinuxTest, AMachineWithoutTheSysfsFolderStillHasItsExtraPorts) {
    device::SetExtraPorts({"/dev/pts/3"});
    device::PortSourceLinux source((root / "missing").string(), dev.string(), os);
    device::ScopedPortSource scope(source);
    ComPortDeviceLinux device(os);
    EXPECT_EQ(Labels(device), (std::vector<std::string>{"/dev/pts/3  ( COM1 )"}));

    device::SetExtraPorts({});
    device.EnumeratePorts();
    EXPECT_EQ(device.GetPortCount(), -1);
}

}  // namespace
