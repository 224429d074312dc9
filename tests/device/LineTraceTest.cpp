// The line trace: its format, and a real exchange on a pseudo-terminal seen through the
// device's monitors.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "device/LineTrace.h"
#include "device/LineWatch.h"
#include "device/PortSource.h"
#include "device/linux/ComPortDeviceLinux.h"
#include "sim/PtyServer.h"

namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

std::string Bytes(const std::vector<unsigned char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(LineTraceTest, ALineShowsTimeDirectionCountsHexAndText) {
    EXPECT_EQ(device::FormatBurst("14:03:07.412", 'W', Bytes({0x02, '!', 0x0D, 0x00})),
              "14:03:07.412 W 4  02 21 0D 00" + std::string(36, ' ') + "  |<STX>!<CR><NUL>|");
    EXPECT_EQ(device::FormatBurst("t", 'R', ""), "t R 0 " + std::string(48, ' ') + "  ||");
    // The checksum of the reply "+" is '+' too: it is marked, not shown as text.
    const std::string plus = device::FormatBurst("t", 'R', Bytes({0x02, '+', 0x03, '+', 0x0D}));
    EXPECT_NE(plus.find("|<STX>+<ETX><sum 2B><CR>|"), std::string::npos) << plus;
    const std::string high = device::FormatBurst("t", 'W', Bytes({0x7F, 0x80, 0xFF, 'a', ' '}));
    EXPECT_NE(high.find("7F 80 FF 61 20"), std::string::npos);
    EXPECT_NE(high.find("|<DEL><80><FF>a |"), std::string::npos);
}

// Past sixteen bytes the burst goes on over indented lines, and every text column starts in
// the same place.
TEST(LineTraceTest, ALongBurstKeepsItsColumns) {
    std::string bytes = "\x02" + std::string(30, 'x') + "\x03";
    bytes += '\x05';
    const std::string text = device::FormatBurst("14:03:07.412", 'R', bytes);
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_EQ(lines[0].rfind("14:03:07.412 R 33  02 78 ", 0), 0u) << lines[0];
    EXPECT_EQ(lines[1].rfind(std::string(18, ' ') + " 78 ", 0), 0u) << lines[1];
    EXPECT_EQ(lines[2], std::string(18, ' ') + " 05" + std::string(45, ' ') + "  |<sum 05>|");
    for (const std::string& line : lines)
        EXPECT_EQ(line.find('|'), lines[0].find('|')) << line;
}

// Time in microseconds since the trace's start: the burst rule depends on the pauses.
device::TraceTime At(std::int64_t us) {
    return {us, 1'700'000'000'000 + us / 1000};
}

struct BurstCase {
    const char* name;
    int baud;
    std::int64_t pauseUs;  // between the two bytes of the reply
    int replyLines;
};

class BurstTest : public ::testing::TestWithParam<BurstCase> {};

// A command, then a reply in two pieces: one line when the pause is within the rule.
TEST_P(BurstTest, AReplyIsOneLineUnlessTheLinePaused) {
    const BurstCase& c = GetParam();
    const std::string path =
        testing::TempDir() + "burst-" + c.name + std::to_string(getpid()) + ".log";
    std::remove(path.c_str());
    device::LineTrace trace;
    std::string error;
    ASSERT_TRUE(trace.Open(path, error, "tester")) << error;
    trace.Settings(At(0), "/dev/pts/9  ( COM1 )", {c.baud, 8, 'N', 1});
    const unsigned char command[] = {0x02, '?', 0x0D};
    trace.Bytes(At(0), 'W', command, 3);
    const unsigned char reply[] = {0x02, 'S', 0x0D};
    trace.Bytes(At(300'000), 'R', reply, 2);
    trace.Bytes(At(300'000 + c.pauseUs), 'R', reply + 2, 1);
    trace.Close();

    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 3u + static_cast<std::size_t>(c.replyLines));
    EXPECT_EQ(lines[0].rfind("# Veltrix line trace, tester " VELTRIX_VERSION ", started ", 0), 0u)
        << lines[0];
    EXPECT_NE(
        lines[0].find(", on /dev/pts/9  ( COM1 ) at " + std::to_string(c.baud) + " baud, 8N1"),
        std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find(" W 3  02 3F 0D "), std::string::npos) << lines[1];
    if (c.replyLines == 1) {
        EXPECT_NE(lines[2].find(" R 3  02 53 0D "), std::string::npos) << lines[2];
    } else {
        EXPECT_NE(lines[2].find(" R 2  02 53 "), std::string::npos) << lines[2];
        EXPECT_NE(lines[3].find(" R 1  0D "), std::string::npos) << lines[3];
    }
}

INSTANTIATE_TEST_SUITE_P(Pauses, BurstTest,
                         ::testing::Values(BurstCase{"NoPause", 9600, 100, 1},
                                           BurstCase{"FewMilliseconds", 38400, 5'000, 1},
                                           BurstCase{"TooLong", 38400, 7'000, 2},
                                           // Two byte times at 300 baud are 67 ms.
                                           BurstCase{"SlowLineByteTimes", 300, 60'000, 1},
                                           BurstCase{"SlowLineTooLong", 300, 80'000, 2}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST(LineTraceTest, ChangesOfLineAndTimeOutsEndABurst) {
    const std::string path =
        testing::TempDir() + "line-changes" + std::to_string(getpid()) + ".log";
    std::remove(path.c_str());
    device::LineTrace trace;
    std::string error;
    ASSERT_TRUE(trace.Open(path, error, "tester")) << error;
    const unsigned char query[] = {0x02, '!', 0x0D, 0x00};
    trace.Settings(At(0), "COM1", {9600, 8, 'N', 1});
    trace.Bytes(At(0), 'W', query, 4);
    trace.Settings(At(10), "COM1", {9600, 8, 'N', 1});  // unchanged: no line
    trace.Settings(At(20), "COM1", {9600, 7, 'E', 2});
    trace.Bytes(At(30), 'W', query, 4);
    trace.EndBurst();
    trace.Bytes(At(40), 'W', query, 4);
    trace.Close();
    EXPECT_EQ(trace.Error(), "");

    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_NE(lines[1].find(" W 4  "), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2], device::TraceClock(At(20).wallMs) + " = COM1 at 9600 baud, 7E2");
    EXPECT_NE(lines[3].find(" W 4  "), std::string::npos) << lines[3];
    EXPECT_NE(lines[4].find(" W 4  "), std::string::npos) << lines[4];
}

// A burst reaches the file once, when it ends (a reply at its CR), however many pieces it came
// in; the trace ends with a line that says the run ended.
TEST(LineTraceTest, EachBurstIsWrittenOnceAndTheEndIsMarked) {
    const std::string path = testing::TempDir() + "once-" + std::to_string(getpid()) + ".log";
    std::remove(path.c_str());
    device::LineTrace trace;
    std::string error;
    ASSERT_TRUE(trace.Open(path, error)) << error;
    trace.Settings(At(0), "COM1", {9600, 8, 'N', 1});
    const std::string reply = "\x02+ABCDEFGHIJKLMNOPQRSTUVWXYZ\r";
    for (std::size_t i = 0; i < reply.size(); ++i) {
        EXPECT_EQ(ReadLines(path).size(), 1u) << "the burst is still under way";
        trace.Bytes(At(static_cast<std::int64_t>(i) * 100), 'R',
                    reinterpret_cast<const unsigned char*>(&reply[i]), 1);
    }
    // Its CR ends a reply: it is on file before the program acts on it.
    EXPECT_EQ(ReadLines(path).size(), 3u);
    trace.Close();
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("# Veltrix line trace, unnamed program " VELTRIX_VERSION ", ", 0), 0u)
        << lines[0];
    EXPECT_EQ(lines[1] + "\n" + lines[2],
              device::FormatBurst(device::TraceClock(At(0).wallMs), 'R', reply));
    EXPECT_EQ(lines[3].rfind("# Run ended ", 0), 0u) << lines[3];
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    EXPECT_LT(in.tellg(), 600) << "written once, not rewritten for every byte";
    std::remove(path.c_str());
}

TEST(LineTraceTest, AFileThatCannotBeWrittenIsNamedWithTheReason) {
    device::LineTrace trace;
    std::string error;
    EXPECT_FALSE(trace.Open("/nonexistent-folder/line.log", error));
    EXPECT_NE(error.find("/nonexistent-folder/line.log"), std::string::npos);
    EXPECT_NE(error.find("No such file or directory"), std::string::npos);
    EXPECT_FALSE(trace.IsOpen());
    // An earlier trace is never replaced.
    const std::string earlier = testing::TempDir() + "earlier-" + std::to_string(getpid());
    std::ofstream(earlier) << "an earlier run";
    EXPECT_FALSE(trace.Open(earlier, error));
    EXPECT_NE(error.find("exists already"), std::string::npos) << error;
    EXPECT_EQ(ReadLines(earlier), std::vector<std::string>{"an earlier run"});
    std::remove(earlier.c_str());
}

TEST(LineWatchTest, TheIdentificationOnAPtyIsTracedAndShown) {
    std::string error;
    const std::unique_ptr<sim::PtyServer> simulator =
        sim::PtyServer::Start(sim::ServerConfig{}, error);
    ASSERT_NE(simulator, nullptr) << error;
    device::SetExtraPorts({simulator->SlavePath()});
    const std::string path = testing::TempDir() + "line-watch" + std::to_string(getpid()) + ".log";
    std::remove(path.c_str());
    std::vector<std::string> shown;
    {
        device::LineTrace trace;
        ASSERT_TRUE(trace.Open(path, error)) << error;
        ComPortDeviceLinux device;
        device::LineWatch watch(trace, [&](const std::string& text) { shown.push_back(text); });
        watch.Attach(&device);
        ASSERT_TRUE(device.InitSerial(1));
        EXPECT_EQ(device.AskForInstrumentType(), "+VT");
        watch.Detach();
        // Detached, nothing more is seen.
        device.AskForInstrumentType();
    }
    device::SetExtraPorts({});

    // The header, the type query, its answer as one line, the end.
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_NE(lines[0].find(simulator->SlavePath() + "  ( COM1 ) at 9600 baud, 8N1"),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find(" W 4  02 21 0D 00 "), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(" R 5  02 2B 56 54 0D "), std::string::npos) << lines[2];
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(),
              "Waiting on " + simulator->SlavePath() + "  ( COM1 ) at 9600 baud, 8N1");
    EXPECT_EQ(shown.size(), 1u) << "one write while attached";
}

TEST(LineWatchTest, OtherDevicesAreLeftAlone) {
    device::LineTrace trace;
    device::LineWatch watch(trace, nullptr);
    watch.Attach(nullptr);
    watch.Detach();
}

}  // namespace
