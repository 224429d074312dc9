// Identifying the simulated instrument through the real serial port on a pty.

#include <gtest/gtest.h>

#include <string>

#include "device/linux/ComPortDeviceLinux.h"
#include "sim/State.h"
#include "tests/testkit/SimulatedPort.h"

namespace {

using testkit_test::SetModeLine;
using testkit_test::SimulatedPort;

struct ModeCase {
    const char* name;
    int mode;
    int baud;
};

class ComPortSimIdentify : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ComPortSimIdentify, EachModelAnswersTheTypeQueryOnItsOwnLine) {
    const ModeCase& c = GetParam();
    SimulatedPort sim(c.mode, c.baud);
    ASSERT_TRUE(sim.server) << sim.error;
    ComPortDeviceLinux device;
    SetModeLine(device, c.mode == sim::kModeOxq, c.baud);
    ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();

    EXPECT_EQ(device.AskForInstrumentType(), sim::TypeCode(c.mode));
    // The query went out whole: the simulator read exactly one "!" and dropped nothing.
    EXPECT_EQ(sim.server->Traffic().Texts(sim::Direction::Received), std::vector<std::string>{"!"});
    EXPECT_TRUE(sim.server->Traffic().Texts(sim::Direction::Dropped).empty());
}

INSTANTIATE_TEST_SUITE_P(Models, ComPortSimIdentify,
                         ::testing::Values(ModeCase{"Veltrix", sim::kModeVeltrix, 38400},
                                           ModeCase{"Morvane", sim::kModeMorvane, 9600},
                                           ModeCase{"Dravell", sim::kModeDravell, 2400},
                                           ModeCase{"Oxq", sim::kModeOxq, 4800}),
                         [](const auto& param) { return std::string(param.param.name); });

// The connect sequence: the type query at 8N1 first; an instrument that listens at two stop
// bits only stays silent, and answers once the port has switched to 7E2.
TEST(ComPortSimConnect, AnInstrumentAtTwoStopBitsAnswersTheSecondQuery) {
    SimulatedPort sim(sim::kModeOxq, 9600);
    ASSERT_TRUE(sim.server) << sim.error;
    ComPortDeviceLinux device;
    SetModeLine(device, false, 9600);
    ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();

    EXPECT_EQ(device.AskForInstrumentType(), "");
    EXPECT_EQ(device.GetLastErrorText(), "ERR: -1 AskForInstrumentType - nothing read");
    EXPECT_FALSE(sim.server->Traffic().Texts(sim::Direction::Dropped).empty());

    SetModeLine(device, true, 9600);
    ASSERT_EQ(device.ChangeBaudRate(), TRUE) << device.GetLastErrorText();
    EXPECT_EQ(device.AskForInstrumentType(), "+OQ");
    EXPECT_EQ(sim.server->Traffic().Texts(sim::Direction::Received), std::vector<std::string>{"!"});
}

// The other way round: a port left at 7E2 by an earlier attempt finds an 8N1 instrument again
// once the port is opened anew at 8N1.
TEST(ComPortSimConnect, ReopeningAt8N1FindsAnInstrumentAfterA7E2Attempt) {
    SimulatedPort sim(sim::kModeDravell, 19200);
    ASSERT_TRUE(sim.server) << sim.error;
    ComPortDeviceLinux device;
    SetModeLine(device, true, 19200);
    ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();
    EXPECT_EQ(device.AskForInstrumentType(), "");

    SetModeLine(device, false, 19200);
    ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();
    EXPECT_EQ(device.AskForInstrumentType(), "+DL");
}

// A speed that differs from the instrument's hears nothing, however often it asks.
TEST(ComPortSimConnect, AWrongSpeedIsNeverAnswered) {
    SimulatedPort sim(sim::kModeVeltrix, 9600);
    ASSERT_TRUE(sim.server) << sim.error;
    ComPortDeviceLinux device;
    SetModeLine(device, false, 19200);
    ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();
    device.SetTimeout(200);
    EXPECT_EQ(device.AskForInstrumentType(), "");
    SetModeLine(device, true, 19200);
    ASSERT_EQ(device.ChangeBaudRate(), TRUE) << device.GetLastErrorText();
    EXPECT_EQ(device.AskForInstrumentType(), "");
    EXPECT_TRUE(sim.server->Traffic().Texts(sim::Direction::Received).empty());
}

}  // namespace
