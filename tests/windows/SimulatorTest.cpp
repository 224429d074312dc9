// The Windows port on a COM port that Wine maps onto the Linux simulator's pty. The script
// around it starts the simulator and says, in the environment, which port and instrument:
// VELTRIX_SIM_PORT (the COM number), VELTRIX_SIM_BAUD and VELTRIX_SIM_TYPE (its type code).
//
// The exclusive open is tested on Linux only: Wine lets a second program open a COM port that
// is already open, where Windows refuses.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "device/windows/ComPortDeviceWindows.h"
#include "support/Clock.h"
#include "support/ValueString.h"

namespace {

std::string Setting(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

struct Instrument {
    int port = ValueString(Setting("VELTRIX_SIM_PORT")).ToInt();
    int baud = ValueString(Setting("VELTRIX_SIM_BAUD")).ToInt();
    std::string type = Setting("VELTRIX_SIM_TYPE");
};

// The instrument the script started, and the port under test.
class SimulatorOnWine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GT(sim.port, 0) << "VELTRIX_SIM_PORT is not set"; }

    // Every test sets the line itself: Wine leaves the last settings on the pty.
    void Open(int baud, bool sevenEvenTwo) {
        device.SetBaudRate(baud);
        device.SetParity(sevenEvenTwo ? 'E' : 'N');
        device.SetDataBits(sevenEvenTwo ? 7 : 8);
        device.SetStopBits(sevenEvenTwo ? 2 : 1);
        ASSERT_EQ(device.InitSerial(sim.port), TRUE) << device.GetLastErrorText();
    }

    const Instrument sim;
    ComPortDeviceWindows device;
};

TEST_F(SimulatorOnWine, TheRegistryListsTheMappedPort) {
    const std::string com = "COM" + std::to_string(sim.port);
    EXPECT_GE(device.GetPortCount(), sim.port);
    // Wine registers the port as \Device\Serial<n-1>.
    EXPECT_EQ(device.GetPortName(sim.port),
              "Serial" + std::to_string(sim.port - 1) + "  ( " + com + " )");
    EXPECT_EQ(device.GetPortDeviceName(sim.port), com + ":");
}

// The connect sequence: the type query at 8 data bits, no parity, 1 stop bit, and again at 7
// data bits, even parity, 2 stop bits when nothing answered (the OXQ mode listens there only).
TEST_F(SimulatorOnWine, TheInstrumentAnswersTheTypeQueryOnItsLine) {
    Open(sim.baud, false);
    std::string type = device.AskForInstrumentType();
    if (type.empty()) {
        device.SetParity('E');
        device.SetDataBits(7);
        device.SetStopBits(2);
        ASSERT_EQ(device.ChangeBaudRate(), TRUE) << device.GetLastErrorText();
        type = device.AskForInstrumentType();
    }
    EXPECT_EQ(type, sim.type) << device.GetLastErrorText();
    EXPECT_EQ(device.GetInputCount(), 0);
}

// A speed other than the instrument's is not answered: the baud rate reaches the line.
TEST_F(SimulatorOnWine, AnotherSpeedIsNotAnswered) {
    const int other = sim.baud == 9600 ? 19200 : 9600;
    for (const bool sevenEvenTwo : {false, true}) {
        Open(other, sevenEvenTwo);
        EXPECT_EQ(device.AskForInstrumentType(), "") << sevenEvenTwo;
    }
}

// Run alone: once the port is open and the instrument has answered, the test asks the script
// to stop the simulator (VELTRIX_SIM_STOP_FILE). Wine's read of a hung-up pty only times out;
// a write reports the port not ready once the pty has gone, and from then on every transfer
// fails at once, without waiting out the time-out.
TEST_F(SimulatorOnWine, APortThatHasGoneFailsAtOnce) {
    const std::string stopFile = Setting("VELTRIX_SIM_STOP_FILE");
    ASSERT_NE(stopFile, "") << "VELTRIX_SIM_STOP_FILE is not set";
    Open(sim.baud, false);
    ASSERT_EQ(device.AskForInstrumentType(), sim.type);
    ASSERT_TRUE(std::ofstream(stopFile).good()) << stopFile;

    // The simulator is stopped within a moment; allow it half a minute.
    support::Clock& clock = support::CurrentClock();
    const std::int64_t asked = clock.NowMs();
    while (device.WriteString("??") == TRUE && clock.NowMs() - asked < 30000) {
        clock.Sleep(100);
    }
    EXPECT_EQ(device.IsLinkLost(), TRUE);
    EXPECT_NE(device.GetLinkLostReason(), "");

    // A read that waited would take the 20 s time-out.
    device.SetTimeout(20000);
    const std::int64_t start = clock.NowMs();
    std::string text;
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(device.WriteString("??"), FALSE);
    EXPECT_LT(clock.NowMs() - start, 10000);
}

}  // namespace
