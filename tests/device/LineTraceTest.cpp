// The line trace: its format, and a real exchange on a pseudo-terminal seen through the
// device's monitors.

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <sstream>

#include "device/ComPortDevice.h"
#include "device/LineTrace.h"
#include "device/LineWatch.h"
#include "device/PortSource.h"
#include "sim/PtyServer.h"

namespace {

TEST(LineTraceTest, ALineShowsTimeDirectionCountsHexAndText) {
    const unsigned char query[] = {0x02, '!', 0x0D, 0x00};
    EXPECT_EQ(device::FormatTraceLine("14:03:07.412", 'W', query, 4, 4),
              "14:03:07.412 W 4/4  02 21 0D 00" + std::string(36, ' ') + "  |.!..|");
    // Only the bytes that moved are shown.
    EXPECT_EQ(device::FormatTraceLine("14:03:07.431", 'R', query, 4, 1),
              "14:03:07.431 R 1/4  02" + std::string(45, ' ') + "  |.|");
    EXPECT_EQ(device::FormatTraceLine("14:03:08.032", 'R', query, 1, 0),
              "14:03:08.032 R 0/1 " + std::string(48, ' ') + "  ||");
    EXPECT_EQ(device::FormatTraceLine("t", 'R', nullptr, 3, 3),
              "t R 3/3 " + std::string(48, ' ') + "  ||");
    const unsigned char high[] = {0x7F, 0x80, 0xFF, 'a', ' '};
    EXPECT_NE(device::FormatTraceLine("t", 'W', high, 5, 5).find("7F 80 FF 61 20"),
              std::string::npos);
    EXPECT_NE(device::FormatTraceLine("t", 'W', high, 5, 5).find("|...a |"), std::string::npos);
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
        ComPortDevice device;
        device::LineWatch watch(trace, [&](const std::string& text) { shown.push_back(text); });
        watch.Attach(&device);
        ASSERT_TRUE(device.InitSerial(1));
        EXPECT_EQ(device.AskForInstrumentType(), "+VT");
        watch.Detach();
        // Detached, nothing more is seen.
        device.AskForInstrumentType();
    }
    device::SetExtraPorts({});

    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_NE(lines[0].find(" W 4/4  02 21 0D 00"), std::string::npos) << lines[0];
    // The text column of every read, in order.
    std::string read;
    for (const std::string& line : lines) {
        if (line.find(" R ") == std::string::npos) continue;
        const std::size_t open = line.find('|');
        read += line.substr(open + 1, line.size() - open - 2);
    }
    EXPECT_NE(read.find("+VT"), std::string::npos) << read;
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
