// The pieces of the Windows program that need no window: the busy line's elision, the port
// map with added ports, and the simulator behind the serial calls (--simulate), alone and
// under the real Windows port.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/windows/AddedPorts.h"
#include "device/ComPortDevice.h"
#include "framework/win32/ElidedText.h"
#include "tests/testkit/PortSourceFake.h"

#include "framework/win32/Win32Api.h"

#include "app/windows/SimulatedSerialOs.h"

namespace win32_test {
namespace {

using framework::win32::ElideLongestWord;

// One pixel a character.
int Chars(std::string_view text) {
    return static_cast<int>(text.size());
}

TEST(ElidedTextTest, TheLongestWordGivesUpItsMiddleFirst) {
    const std::string text = "Waiting on /dev/serial/by-id/usb-FTDI-if00 at 9600 baud";
    const struct {
        int width;
        std::string shown;
    } cases[] = {
        {100, text},
        {static_cast<int>(text.size()), text},
        {40, "Waiting on /dev/se...I-if00 at 9600 baud"},
        {30, "Waiting on /d...0 at 9600 baud"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ElideLongestWord(text, Chars, c.width), c.shown) << c.width;
    // Too narrow even for the other words: the line is cut at its end.
    const std::string cut = ElideLongestWord(text, Chars, 8);
    EXPECT_EQ(cut, "Waiti...");
    EXPECT_EQ(ElideLongestWord(text, Chars, 2), "");
}

TEST(AddedPortsTest, NamedPortsTheMachineLacksComeAfterItsOwn) {
    testkit_test::PortSourceFake machine(
        {{"\\Device\\Serial0", "COM1"}, {"\\Device\\Serial2", "COM3"}});
    app::AddedPorts ports({{"COM3", "COM3"}, {"com7", "com7"}, {"Simulated instrument", "COM2"}},
                          machine);
    std::vector<std::string> seen;
    auto map = ports.Open();
    ASSERT_NE(map, nullptr);
    device::PortValue value;
    for (int i = 0; map->ReadValue(i, value) == device::ReadStatus::Value; ++i)
        seen.push_back(value.name + "=" + value.data);
    EXPECT_EQ(seen, (std::vector<std::string>{"\\Device\\Serial0=COM1", "\\Device\\Serial2=COM3",
                                              "com7=com7", "Simulated instrument=COM2"}));
    EXPECT_EQ(app::AddedPorts::FreeComNumber(machine), 2);
    machine.openFails = true;
    EXPECT_EQ(ports.Open(), nullptr);
    EXPECT_EQ(app::AddedPorts::FreeComNumber(machine), 0);
}

class SimulatedSerialOsTest : public testing::Test {
protected:
    // The line of the instrument's native mode at 9600 baud, or another speed.
    void SetLine(HANDLE port, DWORD baud) {
        DCB dcb{};
        ASSERT_TRUE(os.GetState(port, dcb));
        dcb.BaudRate = baud;
        dcb.ByteSize = 8;
        dcb.Parity = NOPARITY;
        dcb.StopBits = ONESTOPBIT;
        ASSERT_TRUE(os.SetState(port, dcb));
        COMMTIMEOUTS timeouts{};
        timeouts.ReadTotalTimeoutConstant = 200;
        ASSERT_TRUE(os.SetTimeouts(port, timeouts));
    }
    std::string Exchange(HANDLE port, const std::string& bytes) {
        DWORD written = 0;
        EXPECT_TRUE(os.Write(port, reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<DWORD>(bytes.size()), written));
        EXPECT_EQ(written, bytes.size());
        unsigned char reply[64] = {};
        DWORD read = 0;
        EXPECT_TRUE(os.Read(port, reply, sizeof reply, read));
        return std::string(reinterpret_cast<const char*>(reply), read);
    }

    app::SimulatedSerialOs os{7, device::RealSerialOs()};
};

TEST_F(SimulatedSerialOsTest, ItOpensByEveryFormOfItsNameOnceAtATime) {
    for (const char* name : {"\\\\.\\COM7", "COM7", "com7:", "\\\\.\\Simulated instrument"}) {
        SCOPED_TRACE(name);
        HANDLE port = os.Open(name);
        ASSERT_NE(port, INVALID_HANDLE_VALUE);
        EXPECT_EQ(os.Open("COM7"), INVALID_HANDLE_VALUE);
        EXPECT_EQ(os.LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_TRUE(os.Close(port));
    }
    // Other ports are the system's.
    EXPECT_EQ(os.Open("\\\\.\\COM77"), INVALID_HANDLE_VALUE);
    EXPECT_NE(os.LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(SimulatedSerialOsTest, TheInstrumentAnswersOnItsOwnLineOnly) {
    HANDLE port = os.Open("COM7");
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    SetLine(port, 9600);
    EXPECT_EQ(Exchange(port, "\x02!\r"), "\x02+VT\r");
    SetLine(port, 4800);
    EXPECT_EQ(Exchange(port, "\x02!\r"), "");
    SetLine(port, 9600);
    // A reply not yet read waits in the queue, and a purge takes it away.
    DWORD written = 0;
    ASSERT_TRUE(os.Write(port, reinterpret_cast<const unsigned char*>("\x02!\r"), 3, written));
    COMSTAT status{};
    ASSERT_TRUE(os.ClearError(port, status));
    EXPECT_EQ(status.cbInQue, 5u);
    ASSERT_TRUE(os.Purge(port, PURGE_RXCLEAR));
    ASSERT_TRUE(os.ClearError(port, status));
    EXPECT_EQ(status.cbInQue, 0u);
    EXPECT_TRUE(os.Close(port));
}

// The real Windows port over the simulator, as --simulate has it.
TEST_F(SimulatedSerialOsTest, TheWindowsPortIdentifiesTheSimulatedInstrument) {
    testkit_test::PortSourceFake map(
        std::vector<device::PortValue>{{app::SimulatedSerialOs::kName, "COM7"}});
    device::ScopedPortSource usePorts(map);
    device::ScopedSerialOs useOs(os);
    std::unique_ptr<ComPortDevice> device = device::MakeComPortDevice();
    EXPECT_EQ(device->GetPortName(7), "Simulated instrument  ( COM7 )");
    device->SetBaudRate(9600);
    ASSERT_EQ(device->InitSerial(7), TRUE) << device->GetLastErrorText();
    EXPECT_EQ(device->AskForInstrumentType(), "+VT") << device->GetLastErrorText();
}

}  // namespace
}  // namespace win32_test
