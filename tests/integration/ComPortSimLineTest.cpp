// Switching the line to 7 data bits, even parity, 2 stop bits on a pty. A pty keeps 8 data
// bits and no parity whatever it is asked, and tcsetattr fails with EINVAL when none of the
// asked changes could be made: at an unchanged speed with two stop bits already set, 7E2 is
// such a change, although the line is as asked in all that the pty carries.

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "device/linux/ComPortDeviceLinux.h"
#include "sim/State.h"
#include "tests/testkit/PortSourceFake.h"
#include "tests/testkit/SerialOsLinuxFake.h"
#include "tests/testkit/SimulatedPort.h"

namespace {

using testkit_test::SetModeLine;
using testkit_test::SimulatedPort;

class ComPortSimLine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(sim.server) << sim.error; }

    SimulatedPort sim{sim::kModeOxq, 9600};
};

TEST_F(ComPortSimLine, SevenEvenTwoAtTheSameSpeedAndStopBitsIsApplied) {
    ComPortDeviceLinux device;
    SetModeLine(device, false, 9600);
    device.SetStopBits(2);
    ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();

    SetModeLine(device, true, 9600);
    EXPECT_EQ(device.ChangeBaudRate(), TRUE) << device.GetLastErrorText();
    EXPECT_EQ(device.AskForInstrumentType(), "+OQ");
}

TEST_F(ComPortSimLine, ApplyingTheSameSevenEvenTwoAgainSucceeds) {
    ComPortDeviceLinux device;
    SetModeLine(device, true, 9600);
    ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();
    EXPECT_EQ(device.ChangeBaudRate(), TRUE) << device.GetLastErrorText();
    // Reopening applies it once more, on a tty that kept the settings.
    ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();
    EXPECT_EQ(device.AskForInstrumentType(), "+OQ");
}

// Through the OS seam: only a pty whose read-back settings show the asked speed and stop bits
// counts the refusal as applied; a real port, another error, or a line that differs in what
// the pty shows still fails.
TEST(ComPortSimLineSeam, ARefusedSettingCountsOnlyWhenAPtyShowsWhatWasAsked) {
    struct Case {
        const char* what;
        int port;  // 1: the pty, 2: a real port
        int error;
        int baud;
        int stopBits;
        BOOL expected;
    };
    const std::vector<Case> cases = {
        {"pty, 7E2 at the same speed and stop bits", 1, -EINVAL, 9600, 2, TRUE},
        {"pty, another speed", 1, -EINVAL, 4800, 2, FALSE},
        {"pty, one stop bit", 1, -EINVAL, 9600, 1, FALSE},
        {"pty, another error", 1, -EIO, 9600, 2, FALSE},
        {"real port", 2, -EINVAL, 9600, 2, FALSE},
    };
    testkit_test::SerialOsLinuxFake os;
    os.AddNode("/dev/pts/7");
    os.AddNode("/dev/ttyUSB0");
    testkit_test::PortSourceFake source{{{"/dev/pts/7", "COM1"}, {"/dev/ttyUSB0", "COM2"}}};
    device::ScopedPortSource scope{source};
    ComPortDeviceLinux device(os);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        os.setAttributesError = 0;
        SetModeLine(device, false, 9600);
        device.SetStopBits(2);
        ASSERT_EQ(device.InitSerial(c.port), TRUE) << device.GetLastErrorText();

        os.setAttributesError = c.error;
        SetModeLine(device, true, c.baud);
        device.SetStopBits(c.stopBits);
        EXPECT_EQ(device.ChangeBaudRate(), c.expected);
        EXPECT_EQ(device.GetLastErrorText(),
                  c.expected ? "" : "\nChangeBaudRate() --- ERR: SetCommState");
    }
}

}  // namespace
