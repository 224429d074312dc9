#include <gtest/gtest.h>

#include <termios.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>

#include <string>
#include <thread>
#include <vector>

#include "device/linux/ComPortDeviceLinux.h"
#include "tests/testkit/PortSourceFake.h"
#include "tests/testkit/PtyPair.h"
#include "tests/testkit/Stopwatch.h"

namespace {

using testkit_test::ClockMs;
using testkit_test::kGenerousMs;
using testkit_test::WallMs;

const std::string kCreateFile =
    "\n --- ERR: CreateFile (Port doesn't exist or is used by another application or by "
    "mouse)GetLastError() returned ";

std::string AllByteValues() {
    std::string bytes;
    for (int value = 0; value < 256; ++value)
        bytes.push_back(static_cast<char>(value));
    return bytes;
}

// The port opened on the slave of a pseudo-terminal; the test is the instrument on the master.
class PtyComPort : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Ok());
        device.SetTimeout(100);
        ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();
    }
    std::string Label() const { return pty.SlavePath() + "  ( COM1 )"; }

    testkit_test::PtyPair pty;
    testkit_test::PortSourceFake source{{{pty.SlavePath(), "COM1"}}};
    device::ScopedPortSource scope{source};
    ComPortDeviceLinux device;
};

TEST_F(PtyComPort, FramesGoOutAndComeInByteForByte) {
    EXPECT_EQ(device.GetPortName(1), Label());
    ASSERT_EQ(device.WriteKelvaStringCR("V"), TRUE);
    EXPECT_EQ(pty.Receive(5), "\x02V\x03W\r");
    ASSERT_EQ(device.WriteString("\x02!\r"), TRUE);
    EXPECT_EQ(pty.Receive(3), "\x02!\r");

    pty.Send("\x02+MV\r");
    device.SetTerminator(CR);
    std::string reply;
    EXPECT_EQ(device.ReadString(reply), 5);
    EXPECT_EQ(reply, "\x02+MV\r");

    // "3.10" framed with its checksum: 0x01 ^ '3' ^ '.' ^ '1' ^ '0' = 0x1D.
    pty.Send(
        "\x02"
        "3.10\x03\x1D\r");
    EXPECT_EQ(device.ReadKelvaStringCR(reply), 4);
    EXPECT_EQ(reply, "3.10");
}

TEST_F(PtyComPort, EveryByteValuePassesUnchangedBothWays) {
    const std::string bytes = AllByteValues();
    pty.Send(bytes);
    std::vector<unsigned char> buffer(256);
    int got = 0;
    for (int tries = 0; tries < 10 && got < 256; ++tries) {
        got += device.ReadBytes(buffer.data() + got, 256 - got);
    }
    EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + got), bytes);

    const auto* raw = reinterpret_cast<const unsigned char*>(bytes.data());
    ASSERT_EQ(device.WriteBytes(raw, 256), TRUE);
    EXPECT_EQ(pty.Receive(256), bytes);
}

TEST_F(PtyComPort, AReplyCutBySilenceIsReturnedAsFarAsItCame) {
    pty.Send(
        "\x02"
        "AB");
    std::string reply;
    int n = 0;
    const double ms = WallMs([&] { n = device.ReadString(reply); });
    EXPECT_EQ(n, 3);
    EXPECT_EQ(reply,
              "\x02"
              "AB");
    EXPECT_GE(ms, 101);
    EXPECT_LE(ms, 101 + kGenerousMs);
}

TEST_F(PtyComPort, TimeoutsAreNeverShorterThanTheRuleAndEnd) {
    struct Case {
        int baud;
        int timeout;
        long long t;
    };
    const std::vector<Case> cases = {{9600, 150, 150}, {4800, 100, 200}, {2400, 60, 240}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.baud);
        device.SetBaudRate(c.baud);
        device.SetTimeout(c.timeout);
        ASSERT_EQ(device.ChangeBaudRate(), TRUE);
        unsigned char buffer[4] = {};
        std::string text;
        const double one = WallMs([&] { EXPECT_EQ(device.ReadBytes(buffer, 1), 0); });
        EXPECT_GE(one, c.t + 1);
        EXPECT_LE(one, c.t + 1 + kGenerousMs);
        const double four = WallMs([&] { EXPECT_EQ(device.ReadBytes(buffer, 4), 0); });
        EXPECT_GE(four, c.t + 4);
        EXPECT_LE(four, c.t + 4 + kGenerousMs);
        const double line = WallMs([&] { EXPECT_EQ(device.ReadString(text), 0); });
        EXPECT_GE(line, c.t + 1);
        EXPECT_LE(line, c.t + 1 + kGenerousMs);
    }
}

// A flood of 64 times the documented bound of 1024 bytes, more than the pty holds: every read
// of a line ends at the bound, without waiting for a terminator that never comes.
TEST_F(PtyComPort, AFloodWithoutTerminatorEndsAtTheByteBound) {
    constexpr int kLineBytes = 1024;
    constexpr int kReads = 64;
    // A writer held up on a busy machine is not silence.
    device.SetTimeout(5000);
    std::thread flood([this] { pty.Send(std::string(kReads * kLineBytes, 'x')); });
    std::string text;
    int whole = 0;
    const double ms = WallMs([&] {
        for (int read = 0; read < kReads; ++read) {
            whole += device.ReadString(text) == kLineBytes && text == std::string(kLineBytes, 'x');
        }
    });
    flood.join();
    EXPECT_EQ(whole, kReads);
    EXPECT_LT(ms, kGenerousMs);
    device.SetTimeout(100);
    unsigned char rest = 0;
    EXPECT_EQ(device.ReadBytes(&rest, 1), 0);
}

TEST_F(PtyComPort, ASecondOpenOfThePortIsRefused) {
    ComPortDeviceLinux other;
    EXPECT_EQ(other.InitSerial(1), FALSE);
    EXPECT_EQ(other.GetLastErrorText(),
              "\nTry InitSerial on Port " + Label() + kCreateFile +
                  "16\n --- Device or resource busy (the port is in use by another program)");
    device.CloseSerial();
    EXPECT_EQ(other.InitSerial(1), TRUE) << other.GetLastErrorText();
}

// With a time-out of 20 s, a transfer that waited for it instead of failing would take it.
TEST_F(PtyComPort, APeerThatClosesMidReadFailsTheReadAtOnce) {
    device.SetTimeout(20000);
    std::thread peer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        pty.CloseMaster();
    });
    std::string text;
    int n = -1;
    const double ms = WallMs([&] { n = device.ReadString(text); });
    peer.join();
    EXPECT_EQ(n, 0);
    EXPECT_LT(ms, 100 + kGenerousMs);

    // From then on every transfer fails without waiting.
    unsigned char buffer[4] = {};
    const unsigned char bytes[] = {'?'};
    const double after = WallMs([&] {
        EXPECT_EQ(device.ReadString(text), 0);
        EXPECT_EQ(device.ReadBytes(buffer, 4), 0);
        EXPECT_EQ(device.WriteBytes(bytes, 1), FALSE);
    });
    EXPECT_LT(after, kGenerousMs);
}

// A spinning wait would burn most of the second in CPU time; a poll uses next to none.
TEST_F(PtyComPort, AQuietLineIsWaitedOnWithoutSpinning) {
    device.SetTimeout(1000);
    const double cpuBefore = ClockMs(CLOCK_PROCESS_CPUTIME_ID);
    unsigned char byte = 0;
    EXPECT_EQ(device.ReadBytes(&byte, 1), 0);
    EXPECT_LT(ClockMs(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore, 250);
}

TEST_F(PtyComPort, LineSettingsReachThePort) {
    // A pty shows the rate and the stop bits; it forces 8 data bits and no parity.
    device.SetBaudRate(2400);
    device.SetStopBits(2);
    ASSERT_EQ(device.ChangeBaudRate(), TRUE);
    termios seen{};
    ASSERT_EQ(tcgetattr(pty.Master(), &seen), 0);
    EXPECT_EQ(cfgetospeed(&seen), static_cast<speed_t>(B2400));
    EXPECT_TRUE(seen.c_cflag & CSTOPB);

    // A rate without a Bxxx constant is set as the "other" rate.
    device.SetBaudRate(14400);
    device.SetStopBits(1);
    ASSERT_EQ(device.ChangeBaudRate(), TRUE) << device.GetLastErrorText();
    ASSERT_EQ(tcgetattr(pty.Master(), &seen), 0);
    EXPECT_EQ(seen.c_cflag & CBAUD, static_cast<tcflag_t>(CBAUDEX));
    EXPECT_FALSE(seen.c_cflag & CSTOPB);

    device.SetBaudRate(0);
    EXPECT_EQ(device.ChangeBaudRate(), FALSE);
    ASSERT_EQ(tcgetattr(pty.Master(), &seen), 0);
    EXPECT_EQ(seen.c_cflag & CBAUD, static_cast<tcflag_t>(CBAUDEX));  // not hung up
}

TEST_F(PtyComPort, MonitorsSeeTheRealTraffic) {
    struct Seen {
        std::string bytes;
        int requested = 0;
        int transferred = 0;
    };
    Seen written;
    Seen read;
    const auto monitor = [](const unsigned char* bytes, int requested, int transferred,
                            void* user) {
        auto* seen = static_cast<Seen*>(user);
        seen->bytes.append(reinterpret_cast<const char*>(bytes),
                           static_cast<std::size_t>(transferred > 0 ? transferred : 0));
        seen->requested = requested;
        seen->transferred = transferred;
    };
    device.SetWriteMonitor(monitor, &written);
    device.SetReadMonitor(monitor, &read);
    ASSERT_EQ(device.WriteString("DB CNF WRITE"), TRUE);
    EXPECT_EQ(written.bytes, "DB CNF WRITE");
    EXPECT_EQ(written.transferred, 12);

    pty.Send("+\x03");
    std::string reply;
    ASSERT_EQ(device.ReadString(reply), 2);
    EXPECT_EQ(read.bytes, "+\x03");
    EXPECT_EQ(read.requested, 1);
    EXPECT_EQ(read.transferred, 1);
}

TEST_F(PtyComPort, QueueCountsAndPurge) {
    pty.Send("12345");
    int waiting = 0;
    for (int tries = 0; tries < 50 && waiting < 5; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        waiting = device.GetInputCount();
    }
    EXPECT_EQ(waiting, 5);
    EXPECT_EQ(device.PurgeInput(), TRUE);
    EXPECT_EQ(device.GetInputCount(), 0);
    EXPECT_EQ(device.PurgeOutput(), TRUE);
    EXPECT_EQ(device.GetOutputCount(), 0);
}

TEST(ComPortOnTheSystem, ADeviceNameOfAnyLengthFailsCleanly) {
    // A plain file opens and locks like a port but is no terminal.
    std::string plainFile = "/tmp/veltrix-not-a-port-XXXXXX";
    const int fd = mkstemp(plainFile.data());
    ASSERT_GE(fd, 0);
    ::close(fd);
    testkit_test::PortSourceFake source{{{"/dev/" + std::string(5000, 'x'), "COM1"},
                                         {"/dev/veltrix-no-such-port", "COM2"},
                                         {plainFile, "COM3"}}};
    device::ScopedPortSource scope(source);
    ComPortDeviceLinux device;
    const std::vector<std::pair<int, std::string>> cases = {
        {1, "36\n --- File name too long"},
        {2, "2\n --- No such file or directory"},
        {3, "25\n --- Inappropriate ioctl for device (not a serial port)"}};
    for (const auto& [port, reason] : cases) {
        SCOPED_TRACE(port);
        EXPECT_EQ(device.InitSerial(port), FALSE);
        EXPECT_EQ(device.GetLastErrorText(),
                  "\nTry InitSerial on Port " + device.GetPortName(port) + kCreateFile + reason);
    }
    ::unlink(plainFile.c_str());
}

}  // namespace
