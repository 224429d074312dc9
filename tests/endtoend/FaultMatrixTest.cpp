// What the wizard does when the line misbehaves: each fault of the simulated instrument at the
// step where it matters. Every row checks the message shown, that the step ends within a
// bound, and that the wizard is still usable once the fault is gone. The rows and what they
// gave are printed as a table at the end.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "framework/Ids.h"
#include "resources/Resource.h"
#include "tests/endtoend/Bench.h"
#include "tests/endtoend/Screens.h"

namespace endtoend {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::Matcher;
using ::testing::StartsWith;
using BoxMatchers = std::vector<Matcher<const std::string&>>;

// Where the fault strikes: Next on step 1 (the type query), Next on step 2 (the reads of the
// filter step), or Finish on step 5 (applying and saving).
enum class Where { Connect, FilterTable, Finish };

const char* NameOf(Where where) {
    switch (where) {
        case Where::Connect:
            return "Connect";
        case Where::FilterTable:
            return "Filter table";
        case Where::Finish:
            return "Finish";
    }
    return "";
}

struct Row {
    std::string name;
    Where where;
    int mode = sim::kModeVeltrix;  // the instrument's mode and speed
    int baud = 9600;
    std::vector<sim::Fault> faults;  // in force from just before the action
    std::string killOn;              // the instrument vanishes once it has heard this command
    std::string newBaud;             // chosen on step 2, when not empty
    BoxMatchers boxes;               // what the action shows, in order
    bool actionSucceeds = false;     // the step is left (Connect), shows the table, or closes
    int boundMs = 0;                 // the action ends within this time
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

sim::Fault Fault(sim::FaultKind kind, std::string on, std::string text = {}, int delayMs = 0,
                 int times = 1) {
    return sim::Fault{kind, std::move(on), times, std::move(text), delayMs};
}

// Every byte value, the frame bytes and zero included.
std::string EveryByte() {
    std::string bytes;
    for (int b = 0; b < 256; ++b)
        bytes.push_back(static_cast<char>(b));
    return bytes;
}

const std::string kConnectFailed = "Could not connect instrument!\nCommPort Error: ";
const std::string kNothingRead = kConnectFailed + "ERR: -1 AskForInstrumentType - nothing read";
const std::string kMeasurementFailed = "Error setting measurement mode!";
const std::string kSaveFailed = "Error saving instrument settings!";
const std::string kVeltrixSummary = "Measurement mode set successfully\n";
const std::string kMorvaneSummary =
    "Measurement mode set successfully\nDefault for plate movement set successfully\n";
constexpr int kReadyWaitMs = CVeltrixInstrumentSettingsDlg::kReadyWaitLimitMs;

std::vector<Row> Rows() {
    using K = sim::FaultKind;
    const int vt = sim::kModeVeltrix;
    const int mv = sim::kModeMorvane;
    const std::string write = "DB CNF WRITE";
    // clang-format off
    return {
        // The type query of step 1: a failed connect says why, and a second Next connects.
        // name, where, mode, baud, faults, kill on, step-2 speed, boxes, succeeds, bound (ms)
        {"SilenceOnTypeQuery", Where::Connect, vt, 9600, {Fault(K::Silence, "!")}, "", "",
         {kNothingRead}, false, 3000},
        {"GarbageForTheType", Where::Connect, vt, 9600, {Fault(K::Reply, "!", EveryByte())}, "", "",
         {StartsWith(kNothingRead)}, false, 3000},
        {"TypeWithoutCr", Where::Connect, vt, 9600, {Fault(K::NoCr, "!")}, "", "",
         {StartsWith(kNothingRead)}, false, 3000},
        {"StrayCrBeforeType", Where::Connect, vt, 9600, {Fault(K::StrayCr, "!")}, "", "",
         {StartsWith(kNothingRead)}, false, 3000},
        {"StrayEtxBeforeType", Where::Connect, vt, 9600, {Fault(K::StrayEtx, "!")}, "", "",
         {}, true, 1500},
        {"MismatchedLine", Where::Connect, vt, 19200, {}, "", "",
         {StartsWith(kNothingRead)}, false, 3000},
        {"KilledDuringTypeQuery", Where::Connect, vt, 9600, {Fault(K::Delay, "!", {}, 1000)}, "!", "",
         {StartsWith(kConnectFailed)}, false, 3000},

        // The reads of the filter step do not look at their replies: a broken table reply shows
        // no table and says nothing, and the line stays in order for what follows.
        {"GarbageForTheTable", Where::FilterTable, vt, 9600, {Fault(K::Reply, "GW", EveryByte())}, "", "",
         {}, false, 6000},
        {"TableWithWrongChecksum", Where::FilterTable, vt, 9600, {Fault(K::BadChecksum, "GW")}, "", "",
         {}, false, 3000},
        {"GarbageForTheTableShortFrames", Where::FilterTable, mv, 9600, {Fault(K::Reply, "I", EveryByte())}, "", "",
         {}, false, 3000},

        // Finish: applying and saving.
        {"OneErrorReply", Where::Finish, vt, 9600, {Fault(K::Reply, "?", "ERR 12 plate jam")}, "", "",
         {"ERR 12 plate jam", kVeltrixSummary}, true, 4000},
        {"ThreeErrorReplies", Where::Finish, mv, 9600, {Fault(K::Reply, "?", "ERR 12 plate jam", 0, 3)}, "", "",
         {"ERR 12 plate jam", "ERR 12 plate jam", "ERR 12 plate jam", kMeasurementFailed}, false, 5000},
        {"BusyForEver", Where::Finish, vt, 9600, {Fault(K::Reply, "?", "B", 0, -1)}, "", "",
         {kMeasurementFailed}, false, kReadyWaitMs + 3000},
        {"WrongChecksum", Where::Finish, vt, 9600, {Fault(K::BadChecksum, "DN 8")}, "", "",
         {kMeasurementFailed}, false, 3000},
        {"MissingCr", Where::Finish, vt, 9600, {Fault(K::NoCr, "DN 8")}, "", "",
         {kMeasurementFailed}, false, 3000},
        {"MissingCrShortFrames", Where::Finish, mv, 9600, {Fault(K::NoCr, "MM")}, "", "",
         {kMorvaneSummary}, true, 4000},
        {"StrayCr", Where::Finish, vt, 9600, {Fault(K::StrayCr, "DN 8")}, "", "",
         {kVeltrixSummary}, true, 3000},
        {"StrayCrShortFrames", Where::Finish, mv, 9600, {Fault(K::StrayCr, "MM")}, "", "",
         {kMeasurementFailed}, false, 3000},
        {"StrayEtx", Where::Finish, vt, 9600, {Fault(K::StrayEtx, "DN 8")}, "", "",
         {kMeasurementFailed}, false, 3000},
        {"StrayEtxShortFrames", Where::Finish, mv, 9600, {Fault(K::StrayEtx, "MM")}, "", "",
         {kMeasurementFailed}, false, 3000},
        {"ReplyJustInside600ms", Where::Finish, vt, 9600, {Fault(K::Delay, "DN 8", {}, 350)}, "", "",
         {kVeltrixSummary}, true, 3500},
        {"ReplyJustOutside600ms", Where::Finish, vt, 9600, {Fault(K::Delay, "DN 8", {}, 950)}, "", "",
         {kMeasurementFailed}, false, 3000},
        {"ReplyJustOutside600msShortFrames", Where::Finish, mv, 9600, {Fault(K::Delay, "MM", {}, 950)}, "", "",
         {kMeasurementFailed}, false, 3000},
        {"SaveJustInside10s", Where::Finish, vt, 9600, {Fault(K::Delay, write, {}, 9300)}, "", "",
         {kVeltrixSummary}, true, 12000},
        {"SaveJustOutside10s", Where::Finish, vt, 9600, {Fault(K::Delay, write, {}, 10700)}, "", "",
         {kVeltrixSummary, kSaveFailed}, false, 12500},
        {"ModeChangeUnanswered", Where::Finish, vt, 9600, {Fault(K::Silence, "DB CNF RCMODE ")}, "", "19200",
         {"Error changing instrument mode!"}, false, 12000},
        {"KilledDuringSave", Where::Finish, vt, 9600, {Fault(K::Delay, write, {}, 3000)}, write, "",
         {kVeltrixSummary, kSaveFailed}, false, 4000},
    };
    // clang-format on
}

// The table printed at the end of the suite.
std::vector<std::string>& Summary() {
    static std::vector<std::string> lines;
    return lines;
}

std::string OneLine(const std::vector<std::string>& boxes) {
    std::string text;
    for (const std::string& box : boxes) {
        text += text.empty() ? "" : " | ";
        for (const char c : box)
            text += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return text.empty() ? "(no box)" : text;
}

class FaultMatrix : public ::testing::TestWithParam<Row> {
public:
    static void TearDownTestSuite() {
        std::printf("\nFault matrix: row, where, time of the action, boxes shown, result\n");
        for (const std::string& line : Summary())
            std::printf("  %s\n", line.c_str());
        std::fflush(stdout);
    }

protected:
    // The step where the row's fault strikes, with nothing changed on the way but step 2's
    // speed.
    static void WalkTo(framework::WizardDriver& w, const Row& row) {
        if (row.where == Where::Connect) return;
        ASSERT_TRUE(NextTo(w, 2));
        if (!row.newBaud.empty()) {
            ASSERT_TRUE(w.Select(IDC_BAUDRATE, row.newBaud));
        }
        if (row.where == Where::FilterTable) return;
        ASSERT_TRUE(NextTo(w, 3));
        ASSERT_TRUE(NextTo(w, 4));
        ASSERT_TRUE(NextTo(w, 5));
    }

    static void Act(framework::WizardDriver& w, Where where) {
        if (where == Where::Finish) {
            w.Finish();
        } else {
            w.Next();
        }
    }

    static bool Succeeded(const framework::WizardDriver& w, const Row& row,
                          const sim::State& state) {
        switch (row.where) {
            case Where::Connect:
                return w.ActiveIndex() == 1;
            case Where::FilterTable:
                return w.ActiveIndex() == 2 && ShownFilters(w) == state.filters;
            case Where::Finish:
                return w.IsEnded() && w.Result() == framework::IDOK;
        }
        return false;
    }

    // Once the fault is gone, or on the other port when the instrument went, the wizard goes
    // on as if nothing had happened: it connects, reads the table again, or finishes.
    static void GoOn(framework::WizardDriver& w, const Row& row, const sim::State& state,
                     sim::PtyServer* instrument) {
        if (instrument == nullptr) {
            while (w.ActiveIndex() > 0)
                ASSERT_TRUE(w.Back());
            ASSERT_TRUE(w.SelectIndex(IDC_PORT, 1));
        } else {
            instrument->ClearFaults();
            if (row.baud != 9600) {
                ASSERT_TRUE(w.Select(IDC_BAUDRATE, std::to_string(row.baud)));
            }
        }
        if (row.where == Where::Connect) {
            EXPECT_TRUE(NextTo(w, 2));
            w.Cancel();
            return;
        }
        if (row.where == Where::FilterTable) {
            ASSERT_TRUE(w.Click(IDC_SLIDE_IN));
            EXPECT_EQ(ShownFilters(w), state.filters);
            ASSERT_TRUE(w.Back());
        } else if (instrument != nullptr) {
            ASSERT_TRUE(w.Back());
            ASSERT_EQ(w.ActiveIndex(), 3);
        }
        for (int step = w.ActiveIndex() + 2; step <= 5; ++step)
            ASSERT_TRUE(NextTo(w, step));
        w.Finish();
        EXPECT_TRUE(w.IsEnded());
        EXPECT_EQ(w.Result(), framework::IDOK);
    }
};

TEST_P(FaultMatrix, ShowsTheMessageInTimeAndStaysUsable) {
    const Row& row = GetParam();
    Bench bench;
    const sim::State state = StateOf(row.mode, row.baud);
    sim::PtyServer* instrument = bench.StartInstrument(state);
    // A second instrument on the second port, for going on once the first has gone.
    sim::PtyServer* spare = bench.StartInstrument(StateOf(sim::kModeVeltrix, 9600));
    ASSERT_TRUE(instrument != nullptr && spare != nullptr);
    bench.MakeSheet({instrument->SlavePath(), spare->SlavePath()});

    std::string traffic;
    long long elapsedMs = 0;
    std::vector<std::string> boxes;
    bench.Run([&](framework::WizardDriver& w) {
        ASSERT_NO_FATAL_FAILURE(WalkTo(w, row));
        ASSERT_THAT(bench.Boxes(), ::testing::IsEmpty()) << Traffic(*instrument);

        for (const sim::Fault& fault : row.faults)
            instrument->AddFault(fault);
        std::thread pullTheCable;
        if (!row.killOn.empty()) {
            pullTheCable = std::thread([&] {
                EXPECT_TRUE(WaitUntilHeard(*instrument, row.killOn, 30000));
                bench.StopInstrument(instrument);
            });
        }
        const auto start = std::chrono::steady_clock::now();
        Act(w, row.where);
        elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
        if (pullTheCable.joinable()) {
            pullTheCable.join();
            instrument = nullptr;
        }
        traffic = instrument != nullptr ? Traffic(*instrument) : "(instrument stopped)";
        boxes = bench.Boxes();

        EXPECT_THAT(boxes, ElementsAreArray(row.boxes)) << traffic;
        EXPECT_LT(elapsedMs, row.boundMs) << traffic;
        EXPECT_EQ(Succeeded(w, row, state), row.actionSucceeds) << traffic;
        if (row.actionSucceeds) return;

        bench.ClearBoxes();
        ASSERT_NO_FATAL_FAILURE(GoOn(w, row, state, instrument));
        EXPECT_THAT(bench.Boxes(), ::testing::Not(::testing::Contains(HasSubstr("Error"))))
            << (instrument != nullptr ? Traffic(*instrument) : "");
    });

    // What was stored is what the instrument holds: a Finish that went through stored it all.
    sim::PtyServer* stored = instrument != nullptr ? instrument : spare;
    if (row.where != Where::Connect) {
        EXPECT_EQ(Describe(stored->Stored()), Describe(stored->Current())) << traffic;
        EXPECT_GE(CountOf(*stored, "DB CNF WRITE"), 1);
    }

    Summary().push_back(row.name + ", " + NameOf(row.where) + ", " + std::to_string(elapsedMs) +
                        " ms, " + OneLine(boxes) + ", " +
                        (::testing::Test::HasFailure() ? "FAILED" : "ok"));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(Rows()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace endtoend
