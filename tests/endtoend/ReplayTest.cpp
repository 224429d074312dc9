// A whole run recorded with the line trace, then played back by the simulator's replay: the
// same choices replay without a difference; another choice on step 4 is reported at the line
// of the trace where the recorded command stands.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "device/LineTrace.h"
#include "device/LineWatch.h"
#include "framework/Ids.h"
#include "resources/Resource.h"
#include "sim/ReplayServer.h"
#include "sim/TraceFile.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Screens.h"

namespace endtoend_test {

// The simulator harness and the screens' texts are shared with other test folders.
using namespace testkit_test;
namespace {

// OXQ at 4800, found on the second try at 7 data bits, even parity, 2 stop bits, changed to
// Morvane at 9600: the trace holds both changes of line settings.
const std::string kSummary =
    "Instrument changed to +MV, Version: V 3.10\n"
    "Measurement mode set successfully\n"
    "Default for plate movement set successfully\n";

// The user's run; measurementButton is the choice on step 4.
int RunWizard(Bench& bench, int measurementButton) {
    return bench.Run([&](framework::WizardDriver& w) {
        ASSERT_TRUE(w.Select(IDC_BAUDRATE, "4800"));
        ASSERT_TRUE(NextTo(w, 2)) << ::testing::PrintToString(bench.Boxes());
        ASSERT_TRUE(w.Click(ModeButton(sim::kModeMorvane)));
        ASSERT_TRUE(w.Select(IDC_BAUDRATE, "9600"));
        ASSERT_TRUE(NextTo(w, 3));
        ASSERT_TRUE(NextTo(w, 4));
        ASSERT_TRUE(w.Click(measurementButton));
        ASSERT_TRUE(NextTo(w, 5));
        w.Finish();
    });
}

std::vector<std::string> Lines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class ReplayTest : public ::testing::Test {
protected:
    // Records the run once for every test of the suite.
    static void SetUpTestSuite() {
        // Each test runs in a process of its own, maybe at the same time as the other.
        s_tracePath =
            ::testing::TempDir() + "endtoend-replay-" + std::to_string(getpid()) + ".trace";
        std::remove(s_tracePath.c_str());
        Bench bench;
        sim::PtyServer* instrument = bench.StartInstrument(StateOf(sim::kModeOxq, 4800));
        ASSERT_NE(instrument, nullptr);
        bench.MakeSheet({instrument->SlavePath()});
        device::LineTrace trace;
        std::string error;
        ASSERT_TRUE(trace.Open(s_tracePath, error, "endtoend")) << error;
        device::LineWatch watch(trace, nullptr);
        watch.Attach(bench.Sheet().GetDevice());
        s_recorded = RunWizard(bench, IDC_CENTER);
        watch.Detach();
        EXPECT_EQ(bench.Boxes(), std::vector<std::string>{kSummary});
    }

    // Replays the recorded trace against the wizard; the differences the replay reported.
    static std::vector<std::string> Replay(int measurementButton, int& result) {
        sim::Trace trace;
        std::string error;
        EXPECT_TRUE(sim::ReadTraceFile(s_tracePath, trace, error)) << error;
        const auto replay = sim::ReplayServer::Start(trace, nullptr, error);
        EXPECT_NE(replay, nullptr) << error;
        if (replay == nullptr) return {"no replay"};
        {
            Bench bench;
            bench.MakeSheet({replay->SlavePath()});
            result = RunWizard(bench, measurementButton);
        }
        // The program has closed the port after the last recorded exchange: the replay ends
        // by itself, long before its wait for silence would.
        EXPECT_TRUE(replay->WaitUntilFinished(sim::ReplayServer::kEndSilenceMs / 2));
        EXPECT_EQ(replay->Answered(), replay->Recorded());
        return replay->Stop();
    }

    static inline std::string s_tracePath;
    static inline int s_recorded = -1;
};

TEST_F(ReplayTest, TheSameChoicesReplayWithoutADifference) {
    ASSERT_EQ(s_recorded, framework::IDOK);
    // The trace holds both changes of line settings, and each reply on one line: the answer
    // to the type query, say.
    const std::vector<std::string> lines = Lines(s_tracePath);
    ASSERT_GT(lines.size(), 40u);
    EXPECT_THAT(lines[0], ::testing::HasSubstr(" at 4800 baud, 8N1"));
    EXPECT_THAT(lines, ::testing::Contains(::testing::EndsWith(" at 4800 baud, 7E2")));
    EXPECT_THAT(lines, ::testing::Contains(::testing::EndsWith(" at 9600 baud, 8N1")));
    EXPECT_THAT(lines, ::testing::Contains(::testing::EndsWith(
                           " R 5  02 2B 4F 51 0D" + std::string(33, ' ') + "  |<STX>+OQ<CR>|")));
    EXPECT_THAT(lines.back(), ::testing::StartsWith("# Run ended "));

    int result = 0;
    EXPECT_THAT(Replay(IDC_CENTER, result), ::testing::IsEmpty());
    EXPECT_EQ(result, framework::IDOK);
}

TEST_F(ReplayTest, AnotherChoiceOnStep4IsReportedAtItsLine) {
    ASSERT_EQ(s_recorded, framework::IDOK);
    // The recorded measurement command, "MM2" for the Center button.
    const std::vector<std::string> lines = Lines(s_tracePath);
    int line = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].ends_with("|<STX>MM2<CR>|")) line = static_cast<int>(i) + 1;
    }
    ASSERT_NE(line, 0);

    int result = 0;
    const std::vector<std::string> differences = Replay(IDC_ACCURACY, result);
    EXPECT_THAT(differences, ::testing::ElementsAre("line " + std::to_string(line) +
                                                    ": expected 02 4D 4D 32 0D |<STX>MM2<CR>|, "
                                                    "received 02 4D 4D 31 0D |<STX>MM1<CR>|"));
    // The replay answered as recorded, so the run went on to its end.
    EXPECT_EQ(result, framework::IDOK);
}

}  // namespace
}  // namespace endtoend_test
