// Replay of a recorded trace: reading the trace, matching the program's bytes against it, and
// veltrix-sim --replay as a program.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "PtyClient.h"
#include "sim/Replay.h"
#include "sim/TraceFile.h"

namespace {

using namespace std::string_literals;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A Morvane instrument found on the second try, asked for its version, then changed to 19200.
const std::string kTrace =
    "# Veltrix line trace, tester 1.0, started 2026-12-07 14:03:07.412 +0000, on /dev/x  ( COM1 ) "
    "at 9600 baud, 8N1\n"
    "14:03:07.412 W 4  02 21 0D 00                     |.!..|\n"
    "14:03:08.650 = /dev/x  ( COM1 ) at 9600 baud, 7E2\n"
    "14:03:08.651 W 4  02 21 0D 00                     |.!..|\n"
    "14:03:08.700 R 2  02 2B                           |.+|\n"
    "# a note by whoever read the trace\n"
    "\n"
    "14:03:08.720 R 3  4D 56 0D                        |MV.|\r\n"
    "14:03:09.000 W 3  02 56 0D  |.V.|\n"
    "14:03:09.010 R 8  02 56 20 33 2E 31 30 0D  |.V 3.10.|\n"
    "14:03:09.100 = /dev/x  ( COM1 ) at 19200 baud, 8N1\n"
    "14:03:09.200 W 3  02 56 0D  |.V.|\n";

sim::Trace Parsed(const std::string& text) {
    sim::Trace trace;
    std::string error;
    EXPECT_TRUE(sim::ParseTrace(text, trace, error)) << error;
    return trace;
}

TEST(TraceFileTest, ReadsCommandsTheirRepliesAndTheirLines) {
    const sim::Trace trace = Parsed(kTrace);
    ASSERT_EQ(trace.steps.size(), 4u);
    EXPECT_EQ(trace.steps[0].lineNumber, 2);
    EXPECT_EQ(trace.steps[0].command, "\x02!\r\0"s);
    EXPECT_EQ(trace.steps[0].reply, "");
    EXPECT_EQ(trace.steps[0].line, (sim::Line{9600, false}));
    EXPECT_EQ(trace.steps[1].line, (sim::Line{9600, true}));
    EXPECT_EQ(trace.steps[1].lineText, "9600 baud, 7E2");
    EXPECT_EQ(trace.steps[1].reply, "\x02+MV\r");  // two bursts, one reply
    EXPECT_EQ(trace.steps[2].lineNumber, 9);
    EXPECT_EQ(trace.steps[2].reply, "\x02V 3.10\r");
    EXPECT_EQ(trace.steps[3].line, (sim::Line{19200, false}));
}

struct BadTrace {
    const char* name;
    std::string text;
    std::string message;  // what the error says, line included
};

class BadTraceTest : public ::testing::TestWithParam<BadTrace> {};

TEST_P(BadTraceTest, IsRefusedWithItsLine) {
    sim::Trace trace;
    std::string error;
    EXPECT_FALSE(sim::ParseTrace(GetParam().text, trace, error));
    EXPECT_THAT(error, ::testing::HasSubstr(GetParam().message));
}

const std::string kHeader = "# Veltrix line trace, t, started x, on COM1 at 9600 baud, 8N1\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, BadTraceTest,
    ::testing::Values(
        BadTrace{"Empty", "", "line 1: not a Veltrix line trace"},
        BadTrace{"NotATrace", "{\"mode\": 1}\n", "line 1: not a Veltrix line trace"},
        BadTrace{"HeaderWithoutLine", "# Veltrix line trace, t\n", "line 1: the header"},
        BadTrace{"BadParity", "# Veltrix line trace, t, on COM1 at 9600 baud, 8X1\n", "line 1:"},
        BadTrace{"ZeroBaud", "# Veltrix line trace, t, on COM1 at 0 baud, 8N1\n", "line 1:"},
        BadTrace{"NoTime", kHeader + "W 3  02 56 0D  |.V.|\n", "line 2: not a line"},
        BadTrace{"BadDirection", kHeader + "14:03:09.000 X 3  02 56 0D  |.V.|\n",
                 "line 2: the direction"},
        BadTrace{"CountTooHigh", kHeader + "14:03:09.000 W 4  02 56 0D  |.V.|\n",
                 "line 2: the count says 4 bytes, the line holds 3"},
        BadTrace{"ZeroCount", kHeader + "14:03:09.000 W 0  |.V.|\n", "line 2: the byte count"},
        BadTrace{"HugeCount", kHeader + "14:03:09.000 W 99999999999  02 |.|\n",
                 "line 2: the byte count"},
        BadTrace{"BadHex", kHeader + "\n14:03:09.000 W 3  02 5G 0D  |.V.|\n",
                 "line 3: not a byte in hex: 35 47 |5G|"},
        BadTrace{"Truncated", kHeader + "14:03:09.000 W 3  02 56", "line 2: the count says"},
        BadTrace{"TruncatedText", kHeader + "14:03:09.000 W 3  02 56 0D  |.V", "line 2: the text"},
        BadTrace{"NoText", kHeader + "14:03:09.000 R 3  02 56 0D\n", "line 2: the text"},
        BadTrace{"BadSettings", kHeader + "14:03:09.000 = COM1 at fast baud, 8N1\n",
                 "line 2: the line settings"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(TraceFileTest, AFileIsNamedInTheMessage) {
    const std::string path = ::testing::TempDir() + "bad.trace";
    std::ofstream(path) << kHeader << "garbage\n";
    sim::Trace trace;
    std::string error;
    EXPECT_FALSE(sim::ReadTraceFile(path, trace, error));
    EXPECT_EQ(error.rfind(path + ", line 2: ", 0), 0u) << error;
    EXPECT_FALSE(sim::ReadTraceFile(path + ".missing", trace, error));
    EXPECT_THAT(error, ::testing::HasSubstr("cannot open"));
}

// The program's side: bytes in (in pieces, as a pty delivers them), answers out.
TEST(ReplayTest, TheRecordedRunReplaysWithoutADifference) {
    sim::Replay replay(Parsed(kTrace));
    const sim::Line n1{9600, false};
    EXPECT_EQ(replay.Receive("\x02!\r\0"s, n1, 0), "");  // recorded without an answer
    EXPECT_EQ(replay.Receive("\x02!", sim::Line{9600, true}, 1000), "");
    EXPECT_EQ(replay.Receive("\r\0"s, sim::Line{9600, true}, 1000), "\x02+MV\r");
    EXPECT_EQ(replay.Receive("\x02V\r", sim::Line{9600, true}, 1100), "\x02V 3.10\r");
    EXPECT_FALSE(replay.Done());
    EXPECT_EQ(replay.Receive("\x02V\r", sim::Line{19200, false}, 1200), "");
    EXPECT_EQ(replay.Tick(5000), "");
    EXPECT_TRUE(replay.Done());
    replay.Finish();
    EXPECT_THAT(replay.Differences(), IsEmpty());
}

TEST(ReplayTest, ADifferentCommandIsReportedAndAnsweredAsRecorded) {
    sim::Replay replay(Parsed(kTrace));
    replay.Receive("\x02!\r\0"s, std::nullopt, 0);
    replay.Receive("\x02!\r\0"s, std::nullopt, 1000);
    // "R" instead of "V": complete only once the program has been quiet.
    EXPECT_EQ(replay.Receive("\x02R\r", std::nullopt, 2000), "");
    EXPECT_EQ(replay.Tick(2000 + sim::Replay::kQuietMs - 1), "");
    EXPECT_EQ(replay.Tick(2000 + sim::Replay::kQuietMs), "\x02V 3.10\r");
    // The line the program is on differs from the recorded one.
    replay.Receive("\x02V\r", sim::Line{9600, false}, 3000);
    // More than the trace holds.
    replay.Receive("\x02?\r", std::nullopt, 4000);
    replay.Tick(5000);
    EXPECT_TRUE(replay.Done());
    EXPECT_THAT(replay.Differences(),
                ElementsAre("line 9: expected 02 56 0D |.V.|, received 02 52 0D |.R.|",
                            "line 12: recorded at 19200 baud, 8N1, but the program sent at 9600 "
                            "baud with 1 stop bit",
                            "after line 12, the end of the trace: received 02 3F 0D |.?.|"));
}

TEST(ReplayTest, CommandsNeverSentAreReportedAtTheEnd) {
    sim::Replay replay(Parsed(kTrace));
    replay.Receive("\x02!\r\0"s, std::nullopt, 0);
    replay.Receive("\x02!", std::nullopt, 1000);  // stops short, and the replay is stopped
    replay.Finish();
    EXPECT_THAT(
        replay.Differences(),
        ElementsAre("line 4: expected 02 21 0D 00 |.!..|, but the program sent 02 21 |.!|"));
}

}  // namespace
