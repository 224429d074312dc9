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
              "14:03:07.412 W 4  02 21 0D 00" + std::string(36, ' ') + "  |.!..|");
    EXPECT_EQ(device::FormatBurst("t", 'R', ""), "t R 0 " + std::string(48, ' ') + "  ||");
    const std::string high = device::FormatBurst("t", 'W', Bytes({0x7F, 0x80, 0xFF, 'a', ' '}));
    EXPECT_NE(high.find("7F 80 FF 61 20"), std::string::npos);
    EXPECT_NE(high.find("|...a |"), std::string::npos);
    // Past sixteen bytes the hex column grows instead of being padded.
    std::string hex17;
    for (int i = 0; i < 17; ++i)
        hex17 += " 78";
    EXPECT_EQ(device::FormatBurst("t", 'R', std::string(17, 'x')),
              "t R 17 " + hex17 + "  |" + std::string(17, 'x') + "|");
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
    const std::string path = testing::TempDir() + "burst-" + c.name + ".log";
    device::LineTrace trace;
    std::string error;
    ASSERT_TRUE(trace.Open(path, error, "tester 1.0")) << error;
    trace.Settings(At(0), "/dev/pts/9  ( COM1 )", {c.baud, 8, 'N', 1});
    const unsigned char command[] = {0x02, '?', 0x0D};
    trace.Bytes(At(0), 'W', command, 3);
    const unsigned char reply[] = {0x02, 'S', 0x0D};
    trace.Bytes(At(300'000), 'R', reply, 2);
    trace.Bytes(At(300'000 + c.pauseUs), 'R', reply + 2, 1);

    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 2u + static_cast<std::size_t>(c.replyLines));
    EXPECT_EQ(lines[0].rfind("# Veltrix line trace, tester 1.0, started ", 0), 0u) << lines[0];
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
    const std::string path = testing::TempDir() + "line-changes.log";
    device::LineTrace trace;
    std::string error;
    ASSERT_TRUE(trace.Open(path, error, "tester 1.0")) << error;
    const unsigned char query[] = {0x02, '!', 0x0D, 0x00};
    trace.Settings(At(0), "COM1", {9600, 8, 'N', 1});
    trace.Bytes(At(0), 'W', query, 4);
    trace.Settings(At(10), "COM1", {9600, 8, 'N', 1});  // unchanged: no line
    trace.Settings(At(20), "COM1", {9600, 7, 'E', 2});
    trace.Bytes(At(30), 'W', query, 4);
    trace.EndBurst();
    trace.Bytes(At(40), 'W', query, 4);
    EXPECT_EQ(trace.Error(), "");

    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_NE(lines[1].find(" W 4  "), std::string::npos) << lines[1];
    EXPECT_EQ(lines[2], device::TraceClock(At(20).wallMs) + " = COM1 at 9600 baud, 7E2");
    EXPECT_NE(lines[3].find(" W 4  "), std::string::npos) << lines[3];
    EXPECT_NE(lines[4].find(" W 4  "), std::string::npos) << lines[4];
}

// Each burst is on file as soon as its bytes are, so a crash loses nothing; a pipe, which
// cannot be rewritten, gets each burst once it ends.
TEST(LineTraceTest, ABurstIsOnFileWhileItGrows) {
    const std::string path = testing::TempDir() + "growing.log";
    device::LineTrace trace;
    std::string error;
    ASSERT_TRUE(trace.Open(path, error)) << error;
    trace.Settings(At(0), "COM1", {9600, 8, 'N', 1});
    const std::string reply = "\x02+ABCDEFGHIJKLMNOPQRSTUVWXYZ\r";
    for (std::size_t i = 0; i < reply.size(); ++i) {
        trace.Bytes(At(static_cast<std::int64_t>(i) * 100), 'R',
                    reinterpret_cast<const unsigned char*>(&reply[i]), 1);
        const std::vector<std::string> lines = ReadLines(path);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[1].substr(lines[1].find(" R ")),
                  device::FormatBurst("", 'R', reply.substr(0, i + 1)));
    }
}

TEST(LineTraceTest, APipeGetsEachBurstOnceItEnds) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    std::string written;
    {
        device::LineTrace trace;
        std::string error;
        ASSERT_TRUE(trace.Open("/dev/fd/" + std::to_string(ends[1]), error)) << error;
        close(ends[1]);
        trace.Settings(At(0), "COM1", {9600, 8, 'N', 1});
        const unsigned char reply[] = {0x02, '+', 0x0D};
        trace.Bytes(At(0), 'R', reply, 2);
        trace.Bytes(At(100), 'R', reply + 2, 1);
        trace.EndBurst();
        EXPECT_EQ(trace.Error(), "");
    }
    char buffer[4096];
    for (ssize_t n; (n = read(ends[0], buffer, sizeof buffer)) > 0;)
        written.append(buffer, static_cast<std::size_t>(n));
    close(ends[0]);
    EXPECT_NE(written.find("\n" + device::TraceClock(At(0).wallMs) + " R 3  02 2B 0D "),
              std::string::npos)
        << written;
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 2);
}

TEST(LineTraceTest, AFileThatCannotBeWrittenIsNamedWithTheReason) {
    device::LineTrace trace;
    std::string error;
    EXPECT_FALSE(trace.Open("/nonexistent-folder/line.log", error));
    EXPECT_NE(error.find("/nonexistent-folder/line.log"), std::string::npos);
    EXPECT_NE(error.find("No such file or directory"), std::string::npos);
    EXPECT_FALSE(trace.IsOpen());
}

TEST(LineWatchTest, TheIdentificationOnAPtyIsTracedAndShown) {
    std::string error;
    const std::unique_ptr<sim::PtyServer> simulator =
        sim::PtyServer::Start(sim::ServerConfig{}, error);
    ASSERT_NE(simulator, nullptr) << error;
    device::SetExtraPorts({simulator->SlavePath()});
    const std::string path = testing::TempDir() + "line-watch.log";
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

    // The header, the type query, its answer as one line.
    const std::vector<std::string> lines = ReadLines(path);
    ASSERT_EQ(lines.size(), 3u);
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
