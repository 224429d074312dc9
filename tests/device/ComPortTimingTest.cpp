#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "device/linux/ComPortDeviceLinux.h"
#include "device/linux/PortIo.h"
#include "support/Clock.h"
#include "tests/testkit/PortSourceFake.h"
#include "tests/testkit/SerialOsLinuxFake.h"

namespace {

constexpr char kNode[] = "/dev/ttyUSB0";
// The documented bounds of reading a line: 1024 bytes, or 30 s after the first byte.
constexpr int kLineBytes = 1024;
constexpr int kLineMs = 30000;

// What a monitor was called with.
struct MonitorCall {
    std::vector<unsigned char> bytes;
    int requested;
    int transferred;
    void* user;
    bool operator==(const MonitorCall&) const = default;
};

void Record(const unsigned char* bytes, int requested, int transferred, void* user) {
    auto* calls = static_cast<std::vector<MonitorCall>*>(user);
    const int shown = transferred > 0 ? transferred : 0;
    calls->push_back(
        {std::vector<unsigned char>(bytes, bytes + shown), requested, transferred, user});
}

// An open port on the fake system in virtual time; the test plays the line.
class ComPortTiming : public ::testing::Test {
protected:
    ComPortTiming() {
        os.AddNode(kNode);
        EXPECT_EQ(device.InitSerial(1), TRUE);
    }
    std::int64_t Elapsed() const { return os.Now() - start; }
    void Restart() { start = os.Now(); }
    // Bytes that arrive ms after the start.
    void ArriveAfter(std::int64_t ms, const std::string& bytes) { os.Arrive(start + ms, bytes); }

    testkit_test::SerialOsLinuxFake os;
    testkit_test::PortSourceFake source{{{kNode, "COM1"}}};
    device::ScopedPortSource scope{source};
    ComPortDeviceLinux device{os};
    std::int64_t start = os.Now();
};

TEST(TimeoutRule, StretchesBelow9600BaudAndStaysInRange) {
    struct Case {
        int timeout;
        int baud;
        int expected;
    };
    const std::vector<Case> cases = {
        {600, 9600, 600},        {600, 115200, 600}, {600, 4800, 1200},
        {600, 2400, 2400},       {600, 110, 52363},  {600, 0, 600},
        {600, -300, 600},        {100, 9599, 100},   {0, 300, 0},
        {-5, 9600, 0},           {-5, 300, 0},       {INT_MAX, 9600, INT_MAX},
        {INT_MAX, 300, INT_MAX}, {INT_MIN, 110, 0},  {600, 1, 5760000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(device::ScaledTimeoutMs(c.timeout, c.baud), c.expected)
            << c.timeout << " ms at " << c.baud << " baud";
    }
}

TEST_F(ComPortTiming, OneByteGivesUpAfterTheTimeoutPlusOne) {
    const std::vector<std::pair<int, int>> rates = {{9600, 600},  {4800, 1200}, {2400, 2400},
                                                    {110, 52363}, {0, 600},     {-1, 600}};
    unsigned char byte = 0;
    for (const auto& [baud, t] : rates) {
        SCOPED_TRACE(baud);
        device.SetBaudRate(baud);
        Restart();
        EXPECT_EQ(device.ReadBytes(&byte, 1), 0);
        EXPECT_EQ(Elapsed(), t + 1);
        std::string text = "old";
        Restart();
        EXPECT_EQ(device.ReadString(text), 0);
        EXPECT_EQ(text, "");
        EXPECT_EQ(Elapsed(), t + 1);
    }
}

TEST_F(ComPortTiming, ManyBytesGiveUpAfterCountPlusTimeoutInAll) {
    device.SetTimeout(100);
    unsigned char buffer[5] = {};
    // Bytes keep coming every 40 ms, within the interval: the total limit of 105 ms ends it.
    for (int ms = 40; ms <= 400; ms += 40)
        ArriveAfter(ms, "x");
    EXPECT_EQ(device.ReadBytes(buffer, 5), 2);
    EXPECT_EQ(Elapsed(), 105);
}

TEST_F(ComPortTiming, ManyBytesGiveUpAfterTheTimeoutBetweenTwoBytes) {
    device.SetTimeout(100);
    unsigned char buffer[100] = {};
    ArriveAfter(10, "ab");
    ArriveAfter(150, "c");
    EXPECT_EQ(device.ReadBytes(buffer, 100), 2);
    EXPECT_EQ(Elapsed(), 10 + 100);
    EXPECT_EQ(std::string(buffer, buffer + 2), "ab");
    // A full buffer returns as soon as it is full.
    ArriveAfter(155, "defg");
    EXPECT_EQ(device.ReadBytes(buffer, 5), 5);
    EXPECT_EQ(std::string(buffer, buffer + 5), "cdefg");
    EXPECT_EQ(Elapsed(), 155);
}

TEST_F(ComPortTiming, ReadStringStopsAtTheTerminatorAndLeavesTheRest) {
    ArriveAfter(20, std::string("\x02+VT\x03", 5) + std::string("\0\x0D", 2) + "tail");
    std::string text;
    EXPECT_EQ(device.ReadString(text), 5);
    EXPECT_EQ(text, "\x02+VT\x03");
    EXPECT_EQ(Elapsed(), 20);
    device.SetTerminator(CR);
    EXPECT_EQ(device.ReadString(text), 2);
    EXPECT_EQ(text, std::string("\0\x0D", 2));
    EXPECT_EQ(device.GetInputCount(), 4);
}

TEST_F(ComPortTiming, AReplyCutBySilenceIsReturnedAsFarAsItCame) {
    device.SetTimeout(100);
    ArriveAfter(10,
                "\x02"
                "AB");
    ArriveAfter(90, "C");
    std::string text;
    EXPECT_EQ(device.ReadString(text), 4);
    EXPECT_EQ(text,
              "\x02"
              "ABC");
    EXPECT_EQ(Elapsed(), 90 + 101);
}

// A flood of a hundred times the bound, all there at once: each read takes the bound and
// leaves the rest waiting.
TEST_F(ComPortTiming, ReadStringEndsAtItsByteBoundOnAFlood) {
    constexpr int kChunks = 100;
    for (int i = 0; i < kChunks; ++i)
        ArriveAfter(1, std::string(kLineBytes, 'x'));
    std::string text;
    for (int read = 1; read <= 3; ++read) {
        EXPECT_EQ(device.ReadString(text), kLineBytes);
        EXPECT_EQ(text, std::string(kLineBytes, 'x'));
        EXPECT_EQ(device.GetInputCount(), (kChunks - read) * kLineBytes);
    }
}

TEST_F(ComPortTiming, ReadStringEndsAtItsTimeBoundOnATrickle) {
    // A byte every 50 ms, each within the time-out, for a minute.
    device.SetTimeout(100);
    for (int ms = 50; ms <= 60000; ms += 50)
        ArriveAfter(ms, "y");
    std::string text;
    const int n = device.ReadString(text);
    const int bound = kLineMs;
    EXPECT_GE(Elapsed(), 50 + bound - 50);
    EXPECT_LE(Elapsed(), 50 + bound);
    EXPECT_GE(n, bound / 50 - 1);
    EXPECT_LE(n, bound / 50 + 1);
    EXPECT_EQ(text, std::string(n, 'y'));
}

TEST_F(ComPortTiming, ReadStringWaitsForTheFirstByteOneTimeoutOnly) {
    device.SetTimeout(100);
    ArriveAfter(102, "late\x03");
    std::string text;
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(Elapsed(), 101);
    EXPECT_EQ(device.ReadString(text), 5);
}

TEST_F(ComPortTiming, WriteSucceedsOnlyWhenEveryByteWentOut) {
    device.SetTimeout(50);
    std::vector<MonitorCall> calls;
    device.SetWriteMonitor(Record, &calls);
    const unsigned char bytes[] = {'h', 'e', 'l', 'l', 'o'};
    EXPECT_EQ(device.WriteBytes(bytes, 5), TRUE);
    EXPECT_EQ(Elapsed(), 0);

    os.SetSendRoom(2);
    Restart();
    EXPECT_EQ(device.WriteBytes(bytes, 5), FALSE);
    EXPECT_EQ(Elapsed(), 5 + 50);
    EXPECT_EQ(os.Written(), "hellohe");
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].requested, 5);
    EXPECT_EQ(calls[1].transferred, 2);
    EXPECT_EQ(calls[1].user, &calls);

    EXPECT_EQ(device.WriteBytes(bytes, 0), TRUE);
    EXPECT_EQ(device.WriteBytes(nullptr, 3), FALSE);
    EXPECT_EQ(device.WriteBytes(bytes, -1), FALSE);
}

TEST_F(ComPortTiming, APortThatHangsUpFailsAtOnce) {
    device.SetTimeout(600);
    os.HangUpAt(start + 50);
    std::string text = "old";
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(Elapsed(), 50);

    Restart();
    unsigned char buffer[4] = {};
    const unsigned char bytes[] = {'?'};
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(device.ReadBytes(buffer, 4), 0);
    EXPECT_EQ(device.WriteBytes(bytes, 1), FALSE);
    EXPECT_EQ(Elapsed(), 0);
}

TEST_F(ComPortTiming, ReadBytesKeepsWhatCameBeforeAHangUp) {
    ArriveAfter(10, "ab");
    os.HangUpAt(start + 20);
    unsigned char buffer[4] = {};
    EXPECT_EQ(device.ReadBytes(buffer, 4), 2);
    EXPECT_EQ(std::string(buffer, buffer + 2), "ab");
    EXPECT_EQ(Elapsed(), 20);
}

TEST_F(ComPortTiming, ReadStringWhoseReadCallFailsReturnsNothing) {
    ArriveAfter(10, "cd");
    os.HangUpAt(start + 20);
    std::string text;
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(Elapsed(), 20);
}

TEST_F(ComPortTiming, MonitorsReceiveTheirUserValuesAndCounts) {
    device.SetTimeout(100);
    std::vector<MonitorCall> reads;
    std::vector<MonitorCall> writes;
    EXPECT_EQ(device.SetReadMonitor(Record, &reads), TRUE);
    EXPECT_EQ(device.SetWriteMonitor(Record, &writes), TRUE);

    ArriveAfter(10, "OK");
    std::string text;
    ASSERT_EQ(device.ReadString(text), 2);
    EXPECT_EQ(reads, (std::vector<MonitorCall>{
                         {{'O'}, 1, 1, &reads}, {{'K'}, 1, 1, &reads}, {{}, 1, 0, &reads}}));
    reads.clear();
    Restart();
    ArriveAfter(5, "xyz");
    unsigned char buffer[8] = {};
    ASSERT_EQ(device.ReadBytes(buffer, 8), 3);
    EXPECT_EQ(reads, (std::vector<MonitorCall>{{{'x', 'y', 'z'}, 8, 3, &reads}}));

    const unsigned char bytes[] = {'?', '?'};
    ASSERT_EQ(device.WriteString("??"), TRUE);
    EXPECT_EQ(writes, (std::vector<MonitorCall>{{{'?', '?'}, 2, 2, &writes}}));

    EXPECT_EQ(device.ClearReadMonitor(), TRUE);
    EXPECT_EQ(device.ClearWriteMonitor(), TRUE);
    device.ReadBytes(buffer, 1);
    device.WriteBytes(bytes, 2);
    EXPECT_EQ(reads.size(), 1u);
    EXPECT_EQ(writes.size(), 1u);
}

TEST_F(ComPortTiming, WaitingOnAQuietLineLetsTheWindowRepaint) {
    int hooks = 0;
    support::SetWaitHook([&] { ++hooks; });
    unsigned char byte = 0;
    device.ReadBytes(&byte, 1);
    support::SetWaitHook(nullptr);
    EXPECT_GE(hooks, 601 / support::WaitHookIntervalMs);
}

}  // namespace
