// Framed exchanges through the real serial port on a pty with the simulated instrument: both
// frame kinds, the reader's error codes for faults on the line, and the time-outs.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "device/linux/ComPortDeviceLinux.h"
#include "sim/State.h"
#include "tests/testkit/SimulatedPort.h"
#include "tests/testkit/Stopwatch.h"

namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using testkit_test::ClockMs;
using testkit_test::kGenerousMs;
using testkit_test::SetModeLine;
using testkit_test::SimulatedPort;
using testkit_test::WallMs;

// Every command goes unanswered.
sim::Fault Silent() {
    sim::Fault fault;
    fault.kind = sim::FaultKind::Silence;
    return fault;
}

std::string ShortFrame(const std::string& text) {
    return STX + text + CR;
}

// An open port on an instrument in the given mode, at 9600 baud unless told otherwise, with the
// terminator that the Connect step sets for it.
class ComPortSimExchange : public ::testing::Test {
protected:
    void Connect(int mode, int baud = 9600, std::vector<sim::Fault> faults = {}) {
        // The port closes before its simulator goes, and one port map is in force at a time.
        device.reset();
        sim.reset();
        sim = std::make_unique<SimulatedPort>(mode, baud, std::move(faults));
        ASSERT_TRUE(sim->server) << sim->error;
        device = std::make_unique<ComPortDeviceLinux>();
        SetModeLine(*device, mode == sim::kModeOxq, baud);
        ASSERT_EQ(device->InitSerial(1), TRUE) << device->GetLastErrorText();
        device->SetTerminator(mode == sim::kModeVeltrix ? ETX : CR);
    }

    // One checksummed exchange: the reader's result, the reply text in `reply`.
    int Ask(const std::string& command, std::string& reply) {
        if (!device->WriteKelvaStringCR(command)) return -100;
        return device->ReadKelvaStringCR(reply);
    }

    // A fault on the next `on` command only.
    void Fault(sim::FaultKind kind, const std::string& on) {
        sim::Fault fault;
        fault.kind = kind;
        fault.on = on;
        fault.times = 1;
        sim->server->AddFault(fault);
    }

    std::unique_ptr<SimulatedPort> sim;
    std::unique_ptr<ComPortDevice> device;
};

TEST_F(ComPortSimExchange, ChecksummedCommandsGetTheirRepliesInTheNativeMode) {
    Connect(sim::kModeVeltrix);
    std::string reply;
    EXPECT_EQ(Ask("??", reply), 1);
    EXPECT_EQ(reply, "S");
    EXPECT_EQ(Ask("RV0", reply), 6);
    EXPECT_EQ(reply, "V 3.10");
    EXPECT_EQ(Ask("GW", reply), 23);
    EXPECT_EQ(reply, "405-450-492-550-600-620");
    EXPECT_EQ(Ask("DB PLT SET 1 2 3 1", reply), 1);
    EXPECT_EQ(reply, "+");
    EXPECT_EQ(sim->server->Current().plate, (std::array<int, 4>{1, 2, 3, 1}));
    // Each command reached the instrument once, with a checksum that fitted.
    EXPECT_THAT(sim->server->Traffic().Texts(sim::Direction::Received),
                ElementsAre("??", "RV0", "GW", "DB PLT SET 1 2 3 1"));
}

// Checksum bytes that look like STX, ETX or CR pass the raw line unchanged and are read as the
// single byte after the ETX.
TEST_F(ComPortSimExchange, ChecksumBytesThatLookLikeFrameBytesAreReadAsChecksums) {
    Connect(sim::kModeVeltrix);
    // "AB" has the checksum 0x02, "AC" 0x03, "AM" 0x0D.
    for (const std::string text : {"AB", "AC", "AM"}) {
        SCOPED_TRACE(text);
        sim->server->AddFault({sim::FaultKind::Reply, "RV0", 1, text, 0});
        std::string reply;
        EXPECT_EQ(Ask("RV0", reply), 2) << device->GetLastErrorText();
        EXPECT_EQ(reply, text);
    }
}

TEST_F(ComPortSimExchange, ShortFramesGetShortRepliesInEachEmulation) {
    for (const int mode : {sim::kModeMorvane, sim::kModeDravell, sim::kModeOxq}) {
        SCOPED_TRACE(mode);
        Connect(mode);
        std::string reply;
        ASSERT_EQ(device->WriteString(ShortFrame("?")), TRUE);
        EXPECT_EQ(device->ReadString(reply), 3);
        EXPECT_EQ(reply, ShortFrame("S"));
        ASSERT_EQ(device->WriteString(ShortFrame("V")), TRUE);
        EXPECT_EQ(device->ReadString(reply), 8);
        EXPECT_EQ(reply, ShortFrame("V 3.10"));
        ASSERT_EQ(device->WriteString(ShortFrame("MM2")), TRUE);
        EXPECT_EQ(device->ReadString(reply), 3);
        EXPECT_EQ(reply, ShortFrame("+"));
        EXPECT_EQ(sim->server->Current().measurementMode, 2);
    }
}

TEST_F(ComPortSimExchange, FaultsOnTheLineGiveTheReadersErrorCodes) {
    Connect(sim::kModeVeltrix);
    std::string reply = "stale";

    Fault(sim::FaultKind::BadChecksum, "RV0");
    EXPECT_EQ(Ask("RV0", reply), -6);
    EXPECT_EQ(reply, "");
    EXPECT_EQ(device->GetLastErrorText(),
              "ERR: -6 ReadKelvaString - Checksum did not fit, 8 bytes read");

    // Without the CR the reader waits its 100 ms for it, not the device's time-out (made 20 s
    // here, so that waiting it would show).
    Fault(sim::FaultKind::NoCr, "RV0");
    device->SetTimeout(20000);
    int result = 0;
    const double ms = WallMs([&] { result = Ask("RV0", reply); });
    device->SetTimeout(600);
    EXPECT_EQ(result, -5);
    EXPECT_THAT(device->GetLastErrorText(), EndsWith("<CR> not found, 8 bytes read"));
    // 100 ms for the CR, then one 100 ms pause for the 8 bytes read.
    EXPECT_GE(ms, 200);
    EXPECT_LT(ms, kGenerousMs);

    // A stray ETX ends the first read before the reply's STX; the reply stays in the queue and
    // the next read takes it whole.
    Fault(sim::FaultKind::StrayEtx, "RV0");
    ASSERT_EQ(device->WriteKelvaStringCR("RV0"), TRUE);
    EXPECT_EQ(device->ReadKelvaStringCR(reply), -2);
    EXPECT_EQ(device->GetLastErrorText(),
              "ERR: -2 ReadKelvaString - string read but Stx not found, 1 bytes read");
    EXPECT_EQ(device->ReadKelvaStringCR(reply), 6);
    EXPECT_EQ(reply, "V 3.10");

    // A stray CR before the STX is noise to the framed reader.
    Fault(sim::FaultKind::StrayCr, "RV0");
    EXPECT_EQ(Ask("RV0", reply), 6);
    EXPECT_EQ(reply, "V 3.10");

    // After every failure the device's settings are those it had.
    EXPECT_EQ(device->GetTimeout(), 600);
    EXPECT_EQ(device->GetTerminator(), ETX);
}

// A short reply with a stray CR in front: the CR ends the read, and the reply follows.
TEST_F(ComPortSimExchange, AStrayCrEndsAShortReadEarly) {
    Connect(sim::kModeMorvane);
    Fault(sim::FaultKind::StrayCr, "V");
    ASSERT_EQ(device->WriteString(ShortFrame("V")), TRUE);
    std::string reply;
    EXPECT_EQ(device->ReadString(reply), 1);
    EXPECT_EQ(reply, "\r");
    EXPECT_EQ(device->ReadString(reply), 8);
    EXPECT_EQ(reply, ShortFrame("V 3.10"));
}

// Against a silent instrument every wait lasts its time-out t, stretched below 9600 baud, and
// then ends (how soon after is measured on the virtual clock).
TEST_F(ComPortSimExchange, TimeoutsOnASilentInstrumentAreNeverShortAndEnd) {
    struct Case {
        int baud;
        int timeout;
        int t;  // the time-out in force at this baud
    };
    for (const Case c : {Case{9600, 250, 250}, Case{4800, 150, 300}}) {
        SCOPED_TRACE(c.baud);
        Connect(sim::kModeVeltrix, c.baud, {Silent()});
        if (HasFatalFailure()) return;
        device->SetTimeout(c.timeout);

        std::string reply;
        int result = 0;
        double ms = WallMs([&] { result = Ask("RV0", reply); });
        EXPECT_EQ(result, -1);
        EXPECT_EQ(device->GetLastErrorText(),
                  "ERR: -1 ReadKelvaString - nothing read, 0 bytes read");
        EXPECT_GE(ms, c.t + 1);
        EXPECT_LT(ms, c.t + kGenerousMs);

        unsigned char byte = 0;
        ms = WallMs([&] { result = device->ReadBytes(&byte, 1); });
        EXPECT_EQ(result, 0);
        EXPECT_GE(ms, c.t + 1);
        EXPECT_LT(ms, c.t + kGenerousMs);

        // The type query waits 100 ms before it reads, then one time-out. The pause is kept
        // on a millisecond clock, so it may end within a millisecond before its time.
        std::string type = "x";
        ms = WallMs([&] { type = device->AskForInstrumentType(); });
        EXPECT_EQ(type, "");
        EXPECT_GE(ms, 99 + c.t + 1);
        EXPECT_LT(ms, 100 + c.t + kGenerousMs);
    }
}

// The instrument goes away a second into the wait for its reply: the read fails as soon as
// the pty hangs up, without spinning, and so does every later transfer, none of them waiting
// out the 20 s time-out.
TEST_F(ComPortSimExchange, AnInstrumentThatVanishesMidReadFailsTheReadAtOnce) {
    Connect(sim::kModeVeltrix);
    Fault(sim::FaultKind::Silence, "RV0");
    device->SetTimeout(20000);
    ASSERT_EQ(device->WriteKelvaStringCR("RV0"), TRUE);
    std::thread killer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(1000));
        sim->server.reset();
    });
    std::string reply;
    int result = 0;
    const double cpuBefore = ClockMs(CLOCK_THREAD_CPUTIME_ID);
    const double ms = WallMs([&] { result = device->ReadString(reply); });
    const double cpuMs = ClockMs(CLOCK_THREAD_CPUTIME_ID) - cpuBefore;
    killer.join();
    EXPECT_EQ(result, 0);
    EXPECT_GE(ms, 900);
    EXPECT_LT(ms, 1000 + kGenerousMs);
    // A spinning wait would burn most of the second.
    EXPECT_LT(cpuMs, 250);

    const double later = WallMs([&] {
        EXPECT_LT(device->ReadKelvaStringCR(reply), 0);
        EXPECT_EQ(device->WriteKelvaStringCR("RV0"), FALSE);
        EXPECT_EQ(device->AskForInstrumentType(), "");
    });
    EXPECT_LT(later, kGenerousMs);
}

}  // namespace
