// What the wizard does when the line misbehaves or the port cannot be had: each fault of the
// simulated instrument at the step where it matters. Every row checks the message shown, that
// the step ends within a bound, and that the wizard is still usable once the fault is gone.
// The rows and what they gave are printed as a table at the end.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device/linux/ComPortDeviceLinux.h"
#include "framework/Ids.h"
#include "resources/Resource.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Screens.h"

namespace endtoend_test {

// The simulator harness and the screens' texts are shared with other test folders.
using namespace testkit_test;
namespace {

using ::testing::AllOf;
using ::testing::ElementsAreArray;
using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::Matcher;
using ::testing::StartsWith;
using BoxMatchers = std::vector<Matcher<const std::string&>>;

// Where the fault strikes: Next on step 1 (the type query), Next on step 2 (the reads of the
// filter step), Next on step 3 (the reads of the measurement step), Next on step 4 (the read
// of the plate-movement step), or Finish on step 5 (applying and saving).
enum class Where { Connect, FilterTable, MeasurementMode, PlateMovement, Finish };

const char* NameOf(Where where) {
    switch (where) {
        case Where::Connect:
            return "Connect";
        case Where::FilterTable:
            return "Filter table";
        case Where::MeasurementMode:
            return "Measurement mode";
        case Where::PlateMovement:
            return "Plate movement";
        case Where::Finish:
            return "Finish";
    }
    return "";
}

// Why step 1 cannot open the port: another program holds it, or the user may not open it.
enum class Obstacle { None, PortHeld, NotPermitted };

struct Row {
    std::string name;
    Where where;
    int mode = sim::kModeVeltrix;  // the instrument's mode and speed
    int baud = 9600;
    std::vector<sim::Fault> faults;      // in force from just before the action
    std::string killOn;                  // the instrument vanishes once it has heard this command
    std::string newBaud;                 // chosen on step 2, when not empty
    BoxMatchers boxes;                   // what the action shows, in order
    bool actionSucceeds = false;         // the step is left (Connect), shows the table, shows the
                                         // step with `checked`, or closes
    int boundMs = 0;                     // the action ends within this time
    Obstacle obstacle = Obstacle::None;  // what keeps the port from being opened on step 1
    std::vector<int> checked = {};  // the options shown selected on step 4 or 5 after the action
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
const std::string kConnectAdvice =
    "\nCheck the cable and the instrument's power, then try another baud rate or Find any.";
const std::string kOpenFailed =
    "\n --- ERR: CreateFile (Port doesn't exist or is used by another application or by mouse)"
    "GetLastError() returned ";
const std::string kPortHeld =
    kOpenFailed + "16\n --- Device or resource busy (the port is in use by another program)";
const std::string kPortDenied =
    kOpenFailed + "13\n --- Permission denied (the user must be a member of the dialout group)";
const std::string kDistanceBounds = "Please enter an integer between 175 and 9000.";
const std::string kFlashesBounds = "Please enter an integer between 1 and 55.";
const std::string kMeasurementFailed = "Error setting measurement mode!";
const std::string kSaveFailed = "Error saving instrument settings!";
const std::string kVeltrixSummary = "Measurement mode set successfully\n";
const std::string kMorvaneSummary =
    "Measurement mode set successfully\nDefault for plate movement set successfully\n";
constexpr int kReadyWaitMs = CVeltrixInstrumentSettingsDlg::kReadyWaitLimitMs;

Matcher<const std::string&> LinkLost() {
    return AllOf(HasSubstr(" was lost: "), EndsWith("\nGo back to step 1 to connect again."));
}

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
         {kNothingRead + kConnectAdvice}, false, 3000},
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
        // The port itself cannot be had: the open failure says why, and a second Next connects
        // once the port is free (or opened by a user who may).
        {"PortHeldByAnotherProgram", Where::Connect, vt, 9600, {}, "", "",
         {AllOf(StartsWith(kConnectFailed + "\nTry InitSerial on Port "), EndsWith(kPortHeld))},
         false, 1000, Obstacle::PortHeld},
        {"PortNotPermitted", Where::Connect, vt, 9600, {}, "", "",
         {AllOf(StartsWith(kConnectFailed + "\nTry InitSerial on Port "), EndsWith(kPortDenied))},
         false, 2000, Obstacle::NotPermitted},

        // The reads of the filter step do not look at their replies: a broken table reply shows
        // no table and says nothing, and the line stays in order for what follows.
        {"GarbageForTheTable", Where::FilterTable, vt, 9600, {Fault(K::Reply, "GW", EveryByte())}, "", "",
         {}, false, 6000},
        {"TableWithWrongChecksum", Where::FilterTable, vt, 9600, {Fault(K::BadChecksum, "GW")}, "", "",
         {}, false, 3000},
        {"GarbageForTheTableShortFrames", Where::FilterTable, mv, 9600, {Fault(K::Reply, "I", EveryByte())}, "", "",
         {}, false, 3000},

        // Step 4 of a Veltrix instrument reads "RN" and "RM": a broken reply reads as 0, which
        // fits no preset, so Normal is selected and its first activation shows the bounds
        // message of the first box out of bounds before the preset replaces the values.
        // last two columns: obstacle, options shown selected
        {"GarbageForThePoints", Where::MeasurementMode, vt, 9600, {Fault(K::Reply, "RM", EveryByte())}, "", "",
         {kDistanceBounds}, true, 3000, {}, {IDC_NORMAL}},
        {"PointsWithoutDistance", Where::MeasurementMode, vt, 9600, {Fault(K::Reply, "RM", "3")}, "", "",
         {kDistanceBounds}, true, 2000, {}, {IDC_NORMAL}},
        {"SilenceForTheFlashes", Where::MeasurementMode, vt, 9600, {Fault(K::Silence, "RN")}, "", "",
         {kFlashesBounds}, true, 3000, {}, {IDC_NORMAL}},
        {"SilenceForFlashesAndPoints", Where::MeasurementMode, vt, 9600, {Fault(K::Silence, "R", {}, 0, 2)}, "", "",
         {kDistanceBounds}, true, 4000, {}, {IDC_NORMAL}},

        // Step 5 reads "DB PLT SET ?" once: a group that gets no number shows no option.
        {"PlateDefaultsOnePart", Where::PlateMovement, mv, 9600, {Fault(K::Reply, "DB PLT SET ?", "1")}, "", "",
         {}, true, 2000, {}, {IDC_POWER_ON_MOVE_IN}},
        {"GarbageForThePlateDefaults", Where::PlateMovement, mv, 9600, {Fault(K::Reply, "DB PLT SET ?", EveryByte())}, "", "",
         {}, true, 3000, {}, {}},
        {"SilenceForThePlateDefaults", Where::PlateMovement, mv, 9600, {Fault(K::Silence, "DB PLT SET ?")}, "", "",
         {}, true, 3000, {}, {}},

        // Finish: applying and saving.
        {"OneErrorReply", Where::Finish, vt, 9600, {Fault(K::Reply, "?", "ERR 12 plate jam")}, "", "",
         {"ERR 12 plate jam", kVeltrixSummary}, true, 4000},
        {"ThreeErrorReplies", Where::Finish, mv, 9600, {Fault(K::Reply, "?", "ERR 12 plate jam", 0, 3)}, "", "",
         {"ERR 12 plate jam", "ERR 12 plate jam", "ERR 12 plate jam", kMeasurementFailed}, false, 5000},
        {"BusyForEver", Where::Finish, vt, 9600, {Fault(K::Reply, "?", "B", 0, -1)}, "", "",
         {HasSubstr("did not report ready within 30 s."), kMeasurementFailed}, false, kReadyWaitMs + 3000},
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
         {kVeltrixSummary, LinkLost()}, false, 4000},
        // Gone while the wizard polls a busy instrument: the wait ends at once, not after 30 s.
        {"KilledWhileBusy", Where::Finish, vt, 9600, {Fault(K::Reply, "?", "B", 0, -1)}, "??", "",
         {LinkLost()}, false, 1500},
        {"KilledWhileBusyShortFrames", Where::Finish, mv, 9600, {Fault(K::Reply, "?", "B", 0, -1)}, "?", "",
         {LinkLost()}, false, 1500},
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

// The option buttons of steps 4 and 5 that are shown selected, hidden groups included.
std::vector<int> CheckedOptions(const framework::WizardDriver& w) {
    std::vector<int> checked;
    for (const int id : {IDC_NORMAL, IDC_ACCURACY, IDC_CENTER, IDC_CUSTOM, IDC_POWER_ON_MOVE_IN,
                         IDC_POWER_ON_MOVE_OUT, IDC_END_MOVE_IN, IDC_END_MOVE_OUT, IDC_END_NO_MOVE,
                         IDC_REMOTE_ON_MOVE_IN, IDC_REMOTE_ON_MOVE_OUT, IDC_REMOTE_ON_NO_MOVE,
                         IDC_REMOTE_OFF_MOVE_IN, IDC_REMOTE_OFF_MOVE_OUT, IDC_REMOTE_OFF_NO_MOVE}) {
        if (w.IsChecked(id)) checked.push_back(id);
    }
    return checked;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Next on step 1 pressed by an ordinary user: in a child process that has given up root for
// nobody, whose supplementary groups are gone too. The child sends back the step it shows and
// then the boxes, each text ended by a zero byte.
void NextAsOrdinaryUser(framework::WizardDriver& w, const Bench& bench, int& shownStep,
                        std::vector<std::string>& boxes) {
    int channel[2];
    ASSERT_EQ(pipe2(channel, O_CLOEXEC), 0);
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        alarm(10);  // a child that hangs ends, and the parent's read sees the end of the pipe
        constexpr uid_t kNobody = 65534;
        if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(2);
        w.Next();
        std::string report = std::to_string(w.ActiveIndex()) + '\0';
        for (const std::string& box : bench.Boxes())
            report += box + '\0';
        _exit(WriteAll(channel[1], report) ? 0 : 1);
    }
    close(channel[1]);
    std::string report;
    char buffer[512];
    ssize_t n = 0;
    while ((n = read(channel[0], buffer, sizeof buffer)) > 0)
        report.append(buffer, static_cast<std::size_t>(n));
    close(channel[0]);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;

    std::size_t start = 0;
    for (std::size_t end = report.find('\0'); end != std::string::npos;
         start = end + 1, end = report.find('\0', start)) {
        boxes.push_back(report.substr(start, end - start));
    }
    ASSERT_FALSE(boxes.empty());
    shownStep = std::stoi(boxes.front());
    boxes.erase(boxes.begin());
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
        if (row.where == Where::MeasurementMode) return;
        ASSERT_TRUE(NextTo(w, 4));
        if (row.where == Where::PlateMovement) return;
        ASSERT_TRUE(NextTo(w, 5));
    }

    // After a step's own reads the wizard shows that step, and the run goes on to Finish.
    static bool GoesOnFromTheStep(Where where) {
        return where == Where::MeasurementMode || where == Where::PlateMovement;
    }

    static void Act(framework::WizardDriver& w, Where where) {
        if (where == Where::Finish) {
            w.Finish();
        } else {
            w.Next();
        }
    }

    // `shownStep` is the step index after the action, which may have run in another process.
    static bool Succeeded(const framework::WizardDriver& w, const Row& row, const sim::State& state,
                          int shownStep) {
        switch (row.where) {
            case Where::Connect:
                return shownStep == 1;
            case Where::FilterTable:
                return shownStep == 2 && ShownFilters(w) == state.filters;
            case Where::MeasurementMode:
                // The preset's values replaced the ones read.
                return shownStep == 3 && CheckedOptions(w) == row.checked &&
                       w.Text(IDC_DISTANCE) == "440" && w.Text(IDC_FLASHES) == "8" &&
                       w.Text(IDC_POINTS) == "3";
            case Where::PlateMovement:
                // The version query after the read still understood: the step is offered.
                return shownStep == 4 && CheckedOptions(w) == row.checked &&
                       w.IsEnabled(IDC_SET_DEFAULT) && !w.IsVisible(IDC_NOT_AVAILABLE);
            case Where::Finish:
                return w.IsEnded() && w.Result() == framework::IDOK;
        }
        return false;
    }

    // Once the fault is gone, or on the other port when the instrument went, the wizard goes
    // on as if nothing had happened: it connects, reads the table again, or finishes, with the
    // choices made on steps 4 and 5 after a broken read.
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
        } else if (row.where == Where::MeasurementMode) {
            ASSERT_TRUE(w.Click(IDC_CENTER));
        } else if (row.where == Where::PlateMovement) {
            // The hidden groups get their values from Set default only.
            ASSERT_TRUE(w.Click(IDC_SET_DEFAULT));
            ASSERT_TRUE(w.Click(IDC_POWER_ON_MOVE_IN));
            ASSERT_TRUE(w.Click(IDC_END_NO_MOVE));
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
    if (row.obstacle == Obstacle::NotPermitted && geteuid() != 0) {
        Summary().push_back(row.name + ", " + NameOf(row.where) + ", skipped (not root)");
        GTEST_SKIP() << "only root can open the port as another user";
    }
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
        std::optional<ComPortDeviceLinux> holder;  // another program's hold on the port
        if (row.obstacle == Obstacle::PortHeld) {
            holder.emplace();
            ASSERT_EQ(holder->InitSerial(1), TRUE) << holder->GetLastErrorText();
        }
        std::thread pullTheCable;
        if (!row.killOn.empty()) {
            pullTheCable = std::thread([&] {
                EXPECT_TRUE(WaitUntilHeard(*instrument, row.killOn, 30000));
                bench.StopInstrument(instrument);
            });
        }
        const auto start = std::chrono::steady_clock::now();
        int shownStep = -1;
        if (row.obstacle == Obstacle::NotPermitted) {
            ASSERT_NO_FATAL_FAILURE(NextAsOrdinaryUser(w, bench, shownStep, boxes));
        } else {
            Act(w, row.where);
            shownStep = w.ActiveIndex();
            boxes = bench.Boxes();
        }
        elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
        if (pullTheCable.joinable()) {
            pullTheCable.join();
            instrument = nullptr;
        }
        traffic = instrument != nullptr ? Traffic(*instrument) : "(instrument stopped)";

        EXPECT_THAT(boxes, ElementsAreArray(row.boxes)) << traffic;
        EXPECT_LT(elapsedMs, row.boundMs) << traffic;
        EXPECT_EQ(Succeeded(w, row, state, shownStep), row.actionSucceeds) << traffic;
        if (row.actionSucceeds && !GoesOnFromTheStep(row.where)) return;

        holder.reset();
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
    // The choices made after a broken read are the ones stored: Center on step 4; on step 5
    // plate in at power on, no move at the end, the hidden groups from Set default.
    if (row.where == Where::MeasurementMode) {
        EXPECT_EQ(stored->Stored().measurementMode, 2) << Describe(stored->Stored());
    }
    if (row.where == Where::PlateMovement) {
        EXPECT_EQ(stored->Stored().plate, (std::array<int, 4>{1, 3, 3, 3}))
            << Describe(stored->Stored());
    }

    Summary().push_back(row.name + ", " + NameOf(row.where) + ", " + std::to_string(elapsedMs) +
                        " ms, " + OneLine(boxes) + ", " +
                        (::testing::Test::HasFailure() ? "FAILED" : "ok"));
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultMatrix, ::testing::ValuesIn(Rows()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace endtoend_test
