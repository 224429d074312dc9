// Replay of a recorded trace: reading the trace, matching the program's bytes against it, and
// veltrix-sim --replay as a program.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "PtyClient.h"
#include "sim/Replay.h"
#include "sim/ReplayServer.h"
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
        BadTrace{"NoSuchTime", kHeader + "25:03:09.000 W 3  02 56 0D  |.V.|\n",
                 "line 2: not a line"},
        BadTrace{"BadDirection", kHeader + "14:03:09.000 X 3  02 56 0D  |.V.|\n",
                 "line 2: the direction"},
        BadTrace{"CountTooHigh", kHeader + "14:03:09.000 W 4  02 56 0D  |.V.|\n",
                 "line 2: the count says 4 bytes, the lines hold 3"},
        BadTrace{"ContinuationTooLong",
                 kHeader + "14:03:09.000 W 17  02 02 02 02 02 02 02 02 02 02 02 02 02 02 02 02  "
                           "|x|\n                   0D 0D  |x|\n",
                 "line 2: the count says 17 bytes, the lines hold 18"},
        BadTrace{"StrayIndentedLine", kHeader + "14:03:09.000 W 1  02  |x|\n   0D  |x|\n",
                 "line 3: not a line of a trace"},
        BadTrace{"ZeroCount", kHeader + "14:03:09.000 W 0  |.V.|\n", "line 2: the byte count"},
        BadTrace{"HugeCount", kHeader + "14:03:09.000 W 99999999999  02 |.|\n",
                 "line 2: the byte count"},
        BadTrace{"BadHex", kHeader + "\n14:03:09.000 W 3  02 5G 0D  |.V.|\n",
                 "line 3: not a byte in hex: 35 47 |5G|"},
        BadTrace{"Truncated", kHeader + "14:03:09.000 W 3  02 56", "line 2: the text column"},
        BadTrace{"TruncatedText", kHeader + "14:03:09.000 W 3  02 56 0D  |.V", "line 2: the text"},
        // What cannot be a recorded run.
        BadTrace{"TimeGoesBack", kHeader + "14:03:09.000 W 1  3F  |?|\n14:03:08.999 R 1  53  |S|\n",
                 "line 3: the time 14:03:08.999 is earlier than the line before"},
        BadTrace{"SettingsGoBack",
                 kHeader + "14:03:09.000 W 1  3F  |?|\n10:00:00.000 = COM1 at 9600 baud, 8N1\n",
                 "line 3: the time"},
        BadTrace{"ReplyBeforeAnyCommand",
                 kHeader + "14:03:09.000 R 1  53  |S|\n14:03:09.100 W 1  3F  |?|\n",
                 "line 2: bytes from the instrument (R) before any command (W)"},
        BadTrace{"NoExchange", kHeader + "# Run ended x\n", "line 2: the trace ends without any"},
        BadTrace{"HeaderOnly", kHeader, "line 1: the trace ends without any"},
        BadTrace{"BytesAfterTheEnd",
                 kHeader + "14:03:09.000 W 1  3F  |?|\n# Run ended x\n14:03:09.100 R 1  53  |S|\n",
                 "line 4: a line after the one that ends the run"},
        BadTrace{"NoText", kHeader + "14:03:09.000 W 3  02 56 0D\n", "line 2: the text"},
        BadTrace{"BadSettings", kHeader + "14:03:09.000 = COM1 at fast baud, 8N1\n",
                 "line 2: the line settings"}),
    [](const auto& param) { return std::string(param.param.name); });

// What the trace writer makes of a long burst, a run past midnight and the end of a run.
TEST(TraceFileTest, ReadsLongBurstsMidnightAndTheEnd) {
    const sim::Trace trace =
        Parsed(kHeader +
               "23:59:59.900 W 17  02 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41  |<STX>AAAA|\n" +
               "                   0D" + std::string(45, ' ') + "  |<CR>|\n" +
               "00:00:00.100 R 3  02 2B 0D  |<STX>+<CR>|\n" +
               "# Run ended 2026-12-08 00:00:01.000 +0000\n");
    ASSERT_EQ(trace.steps.size(), 1u);
    EXPECT_EQ(trace.steps[0].command, "\x02" + std::string(15, 'A') + "\r");
    EXPECT_EQ(trace.steps[0].reply, "\x02+\r");
    EXPECT_TRUE(trace.ended);
    EXPECT_FALSE(Parsed(kTrace).ended);
}

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
    EXPECT_THAT(
        replay.Differences(),
        ElementsAre("line 9: expected 02 56 0D |<STX>V<CR>|, received 02 52 0D |<STX>R<CR>|",
                    "line 12: recorded at 19200 baud, 8N1, but the program sent at 9600 "
                    "baud with 1 stop bit",
                    "after line 12, the end of the trace: received 02 3F 0D |<STX>?<CR>|"));
    EXPECT_EQ(replay.Answered(), 4);
}

TEST(ReplayTest, CommandsNeverSentAreReportedAtTheEnd) {
    sim::Replay replay(Parsed(kTrace));
    replay.Receive("\x02!\r\0"s, std::nullopt, 0);
    replay.Receive("\x02!", std::nullopt, 1000);  // stops short, and the replay is stopped
    replay.Finish();
    EXPECT_THAT(replay.Differences(),
                ElementsAre("line 4: expected 02 21 0D 00 |<STX>!<CR><NUL>|, but the program sent "
                            "02 21 |<STX>!|"));
    // Only what the program sent was answered, not what the replay gave up on.
    EXPECT_EQ(replay.Answered(), 1);
    EXPECT_EQ(replay.Recorded(), 4);
}

// How a replay on its pty ends: at once when the program closes the port after the last
// recorded exchange; after the silence bound otherwise, naming what was missing.
struct Ending {
    const char* name;
    bool ended;           // the trace has the line that ends the run
    int commandsSent;     // of the two recorded
    bool closes;          // the program closes the port afterwards
    bool finishes;        // the replay ends by itself
    std::string missing;  // the difference it notes, if any
};

TEST(ReplayServerTest, EndsOnceTheProgramClosesThePortOrFallsSilent) {
    // Short, but for the port closed after the end: so long that only the close can end it.
    constexpr int kSilenceMs = 300;
    constexpr int kNeverMs = 600'000;
    const std::string trace =
        kHeader + "14:03:09.000 W 3  02 3F 0D  |x|\n" + "14:03:09.010 R 3  02 53 0D  |x|\n" +
        "14:03:09.300 W 3  02 56 0D  |x|\n" + "14:03:09.310 R 3  02 31 0D  |x|\n";
    const Ending endings[] = {
        {"Closed", true, 2, true, true, ""},
        {"KeptOpen", true, 2, false, true, "where the recorded run ended: the program kept"},
        {"KeptOpenOnACutTrace", false, 2, false, true, ""},
        {"ClosedEarly", true, 1, true, true,
         "line 4: expected 02 56 0D |<STX>V<CR>|, but the "
         "program sent nothing more"},
        {"OpenBeforeTheEnd", true, 1, false, false, ""},
    };
    for (const Ending& e : endings) {
        std::string error;
        const auto server = sim::ReplayServer::Start(
            Parsed(trace + (e.ended ? "# Run ended x\n" : "")), nullptr, error,
            e.closes && e.commandsSent == 2 ? kNeverMs : kSilenceMs);
        ASSERT_NE(server, nullptr) << error;
        auto host = std::make_unique<sim_test::PtyClient>(server->SlavePath());
        ASSERT_TRUE(host->SetLine(9600, false));
        EXPECT_EQ(host->Ask("\x02?\r", false), "\x02S\r") << e.name;
        if (e.commandsSent == 2) {
            EXPECT_EQ(host->Ask("\x02V\r", false),
                      "\x02"
                      "1\r")
                << e.name;
        }
        if (e.closes) host.reset();
        // An open port before the end keeps the replay waiting for the user.
        const bool finished = server->WaitUntilFinished(kSilenceMs * 10);
        EXPECT_EQ(finished, e.finishes) << e.name;
        const std::vector<std::string> differences = server->Stop();
        EXPECT_EQ(server->Answered(), e.commandsSent) << e.name;
        if (e.missing.empty() && e.finishes) {
            EXPECT_THAT(differences, IsEmpty()) << e.name;
        } else if (!e.missing.empty()) {
            ASSERT_EQ(differences.size(), 1u) << e.name;
            EXPECT_THAT(differences[0], ::testing::HasSubstr(e.missing)) << e.name;
        }
    }
}

}  // namespace
