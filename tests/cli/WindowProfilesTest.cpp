// The window's "Load profile..." and "Save profile..." against the command line on twin
// simulated instruments: a profile saved after a run through the steps is the one `read`
// writes, and Finish after a load sends what `apply` sends; a bad profile changes nothing, and
// a choice the instrument cannot take is said when its step shows.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <thread>

#include "cli/PortJob.h"
#include "cli/Program.h"
#include "framework/Ids.h"
#include "profile/WindowProfiles.h"
#include "resources/Resource.h"
#include "tests/cli/CliRun.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Screens.h"

namespace cli_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using testkit_test::Bench;
using testkit_test::Commands;
using testkit_test::NextTo;
using testkit_test::StateOf;
using testkit_test::Traffic;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The window's sheet with its profiles, on the bench's one instrument.
profile::WindowProfiles& WithProfiles(Bench& bench, const sim::PtyServer& instrument) {
    bench.MakeSheet({instrument.SlavePath()});
    auto profiles = std::make_unique<profile::WindowProfiles>(bench.Sheet());
    profile::WindowProfiles& kept = *profiles;
    bench.Sheet().m_pProfileButtons = std::move(profiles);
    return kept;
}

// Step 1 at the instrument's rate, then Next to step `last` (1-based).
void PassTo(framework::WizardDriver& w, int baud, int last) {
    ASSERT_TRUE(w.Select(IDC_BAUDRATE, std::to_string(baud)));
    for (int step = 2; step <= last; ++step)
        ASSERT_TRUE(NextTo(w, step)) << step;
}

struct SaveCase {
    const char* name;
    sim::State state;
};

TEST(WindowProfiles, SavedAfterARunThroughTheStepsIsTheProfileReadWrites) {
    sim::State morvane = StateOf(sim::kModeMorvane, 9600);
    morvane.measurementMode = 2;
    morvane.plate = {1, 3, 3, 2};
    for (const SaveCase& c :
         {SaveCase{"morvane", morvane}, SaveCase{"veltrix", StateOf(sim::kModeVeltrix, 19200)}}) {
        SCOPED_TRACE(c.name);
        Bench bench;
        sim::PtyServer* instrument = bench.StartInstrument(c.state);
        ASSERT_NE(instrument, nullptr);
        const std::string read = testing::TempDir() + "read-" + c.name + ".json";
        const CliRun run = RunCli({"read", "--port", instrument->SlavePath(), "--baud",
                                   std::to_string(c.state.baud), "-o", read});
        ASSERT_EQ(run.code, cli::kExitOk) << run.err;
        profile::WindowProfiles& profiles = WithProfiles(bench, *instrument);
        const std::string saved = testing::TempDir() + "saved-" + c.name + ".json";
        bench.Run([&](framework::WizardDriver& w) {
            PassTo(w, c.state.baud, 5);
            ASSERT_TRUE(profiles.SaveFile(saved));
            w.Cancel();
        });
        EXPECT_THAT(bench.Boxes(), IsEmpty());

        EXPECT_EQ(ReadText(saved), ReadText(read));
    }
}

TEST(WindowProfiles, SavedBeforeAndAfterTheUsersChangesOnlyWhatWasRead) {
    Bench bench;
    sim::PtyServer* instrument = bench.StartInstrument(StateOf(sim::kModeMorvane, 9600));
    ASSERT_NE(instrument, nullptr);
    profile::WindowProfiles& profiles = WithProfiles(bench, *instrument);
    const std::string early = testing::TempDir() + "early.json";
    const std::string changed = testing::TempDir() + "changed.json";
    bench.Run([&](framework::WizardDriver& w) {
        PassTo(w, 9600, 3);
        ASSERT_TRUE(w.Type(IDC_POS6, "700"));
        ASSERT_TRUE(profiles.SaveFile(early));
        ASSERT_TRUE(NextTo(w, 4));
        ASSERT_TRUE(w.Click(IDC_CENTER));
        ASSERT_TRUE(profiles.SaveFile(changed));
        w.Cancel();
    });
    // Steps 4 and 5 had not read the instrument yet.
    EXPECT_EQ(ReadText(early), R"({
  "format": 1,
  "mode": "morvane",
  "baud": 9600,
  "filters": [405, 450, 492, 550, 600, 700]
}
)");
    EXPECT_THAT(ReadText(changed), HasSubstr(R"("measurement": "center")"));
}

TEST(WindowProfiles, LoadThenFinishSendsWhatApplySends) {
    Bench bench;
    sim::PtyServer* cliInstrument = bench.StartInstrument(StateOf(sim::kModeMorvane, 9600));
    sim::PtyServer* windowInstrument = bench.StartInstrument(StateOf(sim::kModeMorvane, 9600));
    ASSERT_TRUE(cliInstrument != nullptr && windowInstrument != nullptr);
    const std::string path = WriteFile("load-apply.json", R"({"format": 1, "mode": "dravell",
        "baud": 38400, "filters": [405, 450, 492, 550, 600, 700], "measurement": "accuracy",
        "plate": {"power_on": "in", "measurement_end": "stay"}})");

    cli::Profile wanted;
    std::string error;
    ASSERT_TRUE(cli::ReadProfileFile(path, wanted, error)) << error;
    cli::PortJob job;
    job.port = cliInstrument->SlavePath();
    job.baud = 9600;
    job.action = cli::Action::Apply;
    job.wanted = &wanted;
    cli::PortResult applied;
    std::thread commandLine([&] { applied = cli::RunPort(job); });
    profile::WindowProfiles& profiles = WithProfiles(bench, *windowInstrument);
    ASSERT_TRUE(profiles.LoadFile(path));
    const int result = bench.Run([](framework::WizardDriver& w) {
        PassTo(w, 9600, 5);
        w.Finish();
    });
    commandLine.join();

    EXPECT_TRUE(applied.ok && applied.saved) << applied.error;
    ASSERT_EQ(result, framework::IDOK) << Traffic(*windowInstrument);
    EXPECT_EQ(Commands(*windowInstrument), Commands(*cliInstrument)) << Traffic(*windowInstrument);
    EXPECT_EQ(testkit_test::Describe(windowInstrument->Stored()),
              testkit_test::Describe(cliInstrument->Stored()));
    EXPECT_THAT(bench.Boxes(), ElementsAre(HasSubstr("Instrument changed to +DL")));
}

TEST(WindowProfiles, ABadProfileChangesNothing) {
    Bench bench;
    sim::PtyServer* instrument = bench.StartInstrument(StateOf(sim::kModeMorvane, 9600));
    ASSERT_NE(instrument, nullptr);
    profile::WindowProfiles& profiles = WithProfiles(bench, *instrument);
    const std::string good = WriteFile("good.json", R"({"format": 1, "mode": "oxq"})");
    const std::string bad = WriteFile("bad.json", R"({"format": 1, "modes": "veltrix"})");
    ASSERT_TRUE(profiles.LoadFile(good));
    EXPECT_FALSE(profiles.LoadFile(bad));
    EXPECT_FALSE(profiles.LoadFile(testing::TempDir()));
    ASSERT_EQ(bench.Boxes().size(), 2u);
    EXPECT_THAT(bench.Boxes()[0], HasSubstr(R"(unknown key "modes")"));
    EXPECT_THAT(bench.Boxes()[1], HasSubstr("is a directory"));
    bench.ClearBoxes();

    // The good profile still holds: step 2 shows its mode.
    bench.Run([](framework::WizardDriver& w) {
        PassTo(w, 9600, 2);
        EXPECT_TRUE(w.IsChecked(IDC_MODE_OXQ));
        w.Cancel();
    });
    EXPECT_THAT(bench.Boxes(), IsEmpty());
}

TEST(WindowProfiles, AChoiceTheInstrumentCannotTakeIsSaidWhenItsStepShows) {
    Bench bench;
    sim::PtyServer* instrument = bench.StartInstrument(StateOf(sim::kModeVeltrix, 9600));
    ASSERT_NE(instrument, nullptr);
    profile::WindowProfiles& profiles = WithProfiles(bench, *instrument);
    ASSERT_TRUE(
        profiles.LoadFile(WriteFile("cannot.json", R"({"format": 1, "filters": [405, 450, 492, 550],
                           "plate": {"power_on": "in"}})")));
    bench.Run([&](framework::WizardDriver& w) {
        PassTo(w, 9600, 3);
        EXPECT_THAT(bench.Boxes(), ElementsAre("filters: the profile gives 4 positions, the "
                                               "instrument's slide has 6"));
        // The step's controls still work.
        EXPECT_TRUE(w.Type(IDC_POS1, "340"));
        ASSERT_TRUE(NextTo(w, 4));
        ASSERT_TRUE(NextTo(w, 5));
        EXPECT_EQ(bench.Boxes().back(), "plate: Settings not necessary for VELTRIX");
        w.Cancel();
    });
}

}  // namespace
}  // namespace cli_test
