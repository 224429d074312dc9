// Whole runs of the wizard, Connect to Finish, against a simulated instrument of each model:
// what the user chose on the screens must be what the instrument ends up storing.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/Ids.h"
#include "resources/Resource.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Screens.h"

namespace endtoend_test {

// The simulator harness and the screens' texts are shared with other test folders.
using namespace testkit_test;
namespace {

using ::testing::ElementsAreArray;

struct WholeRun {
    std::string name;
    sim::State instrument;  // as it starts
    // Step 1: the instrument's port is the second of two (the first does not exist).
    std::string connectBaud;
    // Step 2.
    int mode;
    std::string baud;
    // Step 3: boxes typed into, with their texts.
    std::vector<std::pair<int, std::string>> filterEdits;
    // Step 4: the preset clicked.
    int measurementButton;
    // Step 5: buttons clicked; what the step says when it offers nothing.
    std::vector<int> plateButtons;
    std::string plateNotOffered;
    // Expected: every command the instrument heard besides the ready polls, the one summary
    // box, and what the instrument stored.
    std::vector<std::string> commands;
    std::string summary;
    sim::State stored;
};

void PrintTo(const WholeRun& run, std::ostream* os) {
    *os << run.name;
}

sim::State WithPreset(sim::State state, int preset) {
    const sim::Measurement& m = sim::kMeasurementPresets[static_cast<std::size_t>(preset)];
    state.measurementMode = preset;
    state.flashes = m.flashes;
    state.points = m.points;
    state.distance = m.distance;
    return state;
}

// Native mode at 19200 to the Dravell emulation at 9600. The filter table goes out in the
// native mode the instrument is in; the version queries follow the connected type.
WholeRun VeltrixToDravell() {
    WholeRun run;
    run.name = "VeltrixToDravell";
    run.instrument = StateOf(sim::kModeVeltrix, 19200);
    run.instrument.plate = {2, 1, 3, 2};
    run.connectBaud = "19200";
    run.mode = sim::kModeDravell;
    run.baud = "9600";
    run.filterEdits = {{IDC_POS2, "480"}, {IDC_POS6, "0"}};
    run.measurementButton = IDC_CENTER;
    run.plateButtons = {IDC_POWER_ON_MOVE_IN, IDC_END_NO_MOVE};
    run.commands = {"!", "BA", "GW", "DB FLT WR", "RN", "RM", "RV0", "DB PLT SET ?", "RV0",
                    // Finish
                    "DF 405 480 492 550 600 0", "DB CNF RCMODE 2 9600 N 8 1", "!", "V", "MM2", "V",
                    "DB PLT SET 1 3 3 2", "DB CNF WRITE"};
    run.summary =
        "Filterslide defined successfully\n"
        "Instrument changed to +DL, Version: V 3.10\n"
        "Measurement mode set successfully\n"
        "Default for plate movement set successfully\n";
    run.stored = WithPreset(run.instrument, 2);
    run.stored.mode = sim::kModeDravell;
    run.stored.baud = 9600;
    run.stored.filters = {405, 480, 492, 550, 600, 0};
    run.stored.plate = {1, 3, 3, 2};  // the hidden remote groups keep what was read
    return run;
}

// Morvane to OXQ at 19200 on firmware 3.05: the filter table needs the native mode, so the
// instrument changes mode twice around "DF ", and no plate defaults exist.
WholeRun MorvaneToOxq() {
    WholeRun run;
    run.name = "MorvaneToOxq";
    run.instrument = StateOf(sim::kModeMorvane, 9600);
    run.instrument.version = "V 3.05";
    run.connectBaud = "9600";
    run.mode = sim::kModeOxq;
    run.baud = "19200";
    run.filterEdits = {{IDC_POS1, "340"}, {IDC_POS5, "750"}};
    run.measurementButton = IDC_ACCURACY;
    run.plateNotOffered = "Settings not possible for Version V 3.05";
    run.commands = {"!", "H", "I", "DB FLT WR", "SS M_MODE", "V", "V",
                    // Finish
                    "DB CNF RCMODE 0 19200 N 8 1", "!", "DF 340 450 492 550 750 620",
                    "DB CNF RCMODE 4 19200 E 7 2", "!", "V", "MM1", "V", "DB CNF WRITE"};
    run.summary =
        "Filterslide defined successfully\n"
        "Instrument changed to +OQ, Version: V 3.05\n"
        "Measurement mode set successfully\n";
    run.stored = WithPreset(run.instrument, 1);
    run.stored.mode = sim::kModeOxq;
    run.stored.baud = 19200;
    run.stored.filters = {340, 450, 492, 550, 750, 620};
    return run;
}

// Dravell at 38400 with a four-position slide to the native mode at 9600: the switch for the
// filter table already reaches the chosen mode and speed, so no second change follows.
WholeRun DravellToVeltrix() {
    WholeRun run;
    run.name = "DravellToVeltrix";
    run.instrument = WithPreset(StateOf(sim::kModeDravell, 38400), 1);
    run.instrument.filters = {405, 450, 492, 620};
    run.instrument.filterSeparator = ' ';
    run.connectBaud = "38400";
    run.mode = sim::kModeVeltrix;
    run.baud = "9600";
    run.filterEdits = {{IDC_POS3, "0"}, {IDC_POS4, "700"}};
    run.measurementButton = IDC_NORMAL;
    run.plateNotOffered = "Settings not necessary for VELTRIX";
    run.commands = {"!", "H", "I", "DB FLT WR", "SS M_MODE",
                    // Finish
                    "DB CNF RCMODE 0 9600 N 8 1", "!", "DF 405 450 0 700 0 0", "DN 8", "DM 3 440",
                    "DN 8", "DB CNF WRITE"};
    run.summary =
        "Filterslide defined successfully\n"
        "Measurement mode set successfully\n";
    run.stored = WithPreset(run.instrument, 0);
    run.stored.mode = sim::kModeVeltrix;
    run.stored.baud = 9600;
    run.stored.filters = {405, 450, 0, 700};
    return run;
}

// OXQ at 4800 (found on the second try, at 7 data bits, even parity, 2 stop bits) to Morvane
// at 38400, with the default plate movement set by its button.
WholeRun OxqToMorvane() {
    WholeRun run;
    run.name = "OxqToMorvane";
    run.instrument = WithPreset(StateOf(sim::kModeOxq, 4800), 2);
    run.instrument.filterSeparator = '/';
    run.instrument.plate = {1, 1, 1, 1};
    run.connectBaud = "4800";
    run.mode = sim::kModeMorvane;
    run.baud = "38400";
    run.filterEdits = {{IDC_POS3, "500"}};
    run.measurementButton = IDC_NORMAL;
    run.plateButtons = {IDC_SET_DEFAULT};
    run.commands = {"!", "H", "FC 0", "I", "DB FLT WR", "SS M_MODE", "V", "DB PLT SET ?", "V",
                    // Finish
                    "DB CNF RCMODE 0 38400 N 8 1", "!", "DF 405 450 500 550 600 620",
                    "DB CNF RCMODE 1 38400 N 8 1", "!", "V", "MM0", "V", "DB PLT SET 2 2 3 3",
                    "DB CNF WRITE"};
    run.summary =
        "Filterslide defined successfully\n"
        "Instrument changed to +MV, Version: V 3.10\n"
        "Measurement mode set successfully\n"
        "Default for plate movement set successfully\n";
    run.stored = WithPreset(run.instrument, 0);
    run.stored.mode = sim::kModeMorvane;
    run.stored.baud = 38400;
    run.stored.filters = {405, 450, 500, 550, 600, 620};
    run.stored.plate = {2, 2, 3, 3};
    return run;
}

class WholeRunTest : public ::testing::TestWithParam<WholeRun> {};

TEST_P(WholeRunTest, TheInstrumentStoresWhatWasChosenOnTheScreens) {
    const WholeRun& run = GetParam();
    Bench bench;
    sim::PtyServer* instrument = bench.StartInstrument(run.instrument);
    ASSERT_NE(instrument, nullptr);
    bench.MakeSheet({kMissingNode, instrument->SlavePath()});
    const int startMode = run.instrument.mode;

    const int result = bench.Run([&](framework::WizardDriver& w) {
        // Step 1: the instrument's port, by its label, at the chosen speed.
        EXPECT_EQ(w.Caption(), StepCaption(1));
        ASSERT_THAT(w.Items(IDC_PORT), ::testing::SizeIs(::testing::Ge(2u)));
        EXPECT_EQ(w.Items(IDC_PORT)[1], instrument->SlavePath() + "  ( COM2 )");
        ASSERT_TRUE(w.SelectIndex(IDC_PORT, 1));
        ASSERT_TRUE(w.Select(IDC_BAUDRATE, run.connectBaud));
        ASSERT_TRUE(NextTo(w, 2)) << ::testing::PrintToString(bench.Boxes());

        // Step 2 shows the connected mode and speed; the user picks others.
        EXPECT_TRUE(w.IsChecked(ModeButton(startMode)));
        EXPECT_EQ(w.SelectedText(IDC_BAUDRATE), run.connectBaud);
        ASSERT_TRUE(w.Click(ModeButton(run.mode)));
        ASSERT_TRUE(w.Select(IDC_BAUDRATE, run.baud));
        EXPECT_EQ(w.Text(IDC_LINE_FORMAT), LineFormat(run.mode));
        ASSERT_TRUE(NextTo(w, 3));

        // Step 3 shows the table the instrument holds; the user edits it.
        EXPECT_EQ(ShownFilters(w), run.instrument.filters);
        for (const auto& [box, text] : run.filterEdits)
            ASSERT_TRUE(w.Type(box, text)) << box;
        ASSERT_TRUE(NextTo(w, 4));

        // Step 4.
        ASSERT_TRUE(w.Click(run.measurementButton));
        ASSERT_TRUE(NextTo(w, 5));

        // Step 5: offered only in an emulation mode on firmware 3.10 or later.
        EXPECT_EQ(w.IsVisible(IDC_NOT_AVAILABLE), !run.plateNotOffered.empty());
        EXPECT_EQ(w.IsEnabled(IDC_SET_DEFAULT), run.plateNotOffered.empty());
        if (!run.plateNotOffered.empty()) {
            EXPECT_EQ(w.Text(IDC_NOT_AVAILABLE), run.plateNotOffered);
        }
        for (const int button : run.plateButtons)
            ASSERT_TRUE(w.Click(button)) << button;
        EXPECT_THAT(bench.Boxes(), ::testing::IsEmpty());

        w.Finish();
    });

    EXPECT_EQ(result, framework::IDOK) << ::testing::PrintToString(bench.Boxes());
    EXPECT_THAT(bench.Boxes(), ElementsAreArray({run.summary}));
    EXPECT_THAT(Commands(*instrument), ElementsAreArray(run.commands)) << Traffic(*instrument);
    EXPECT_EQ(Describe(instrument->Stored()), Describe(run.stored));
    EXPECT_EQ(Describe(instrument->Current()), Describe(run.stored));
    EXPECT_EQ(bench.Sheet().GetInstrumentType(), sim::TypeCode(run.mode));
    // An OXQ instrument does not hear the first type query, made at 8 data bits, no parity,
    // 1 stop bit; it answers the second, at 7 data bits, even parity, 2 stop bits.
    const std::vector<sim::LogEntry> log = instrument->Traffic().Entries();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front().direction == sim::Direction::Dropped, startMode == sim::kModeOxq)
        << Traffic(*instrument);
}

INSTANTIATE_TEST_SUITE_P(FourModels, WholeRunTest,
                         ::testing::Values(VeltrixToDravell(), MorvaneToOxq(), DravellToVeltrix(),
                                           OxqToMorvane()),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace endtoend_test
