// veltrix-settings against simulated instruments over pseudo-terminals: read, check and apply
// on one port and on several at once, compared with what the window does with the same
// choices. The instruments of a test run in parallel, as the program serves them.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/PortJob.h"
#include "cli/Program.h"
#include "framework/Ids.h"
#include "resources/Resource.h"
#include "tests/cli/CliRun.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Screens.h"

namespace cli_test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using ::testing::StartsWith;
using testkit_test::Bench;
using testkit_test::Commands;
using testkit_test::Describe;
using testkit_test::NextTo;
using testkit_test::StateOf;
using testkit_test::Traffic;

const std::vector<int> kTable{405, 450, 492, 550, 600, 620};
const std::vector<int> kEdited{405, 450, 492, 550, 600, 700};

cli::PortJob Job(const sim::PtyServer& instrument, cli::Action action,
                 const cli::Profile* wanted = nullptr) {
    cli::PortJob job;
    job.port = instrument.SlavePath();
    job.baud = instrument.Current().baud;
    job.action = action;
    job.wanted = wanted;
    return job;
}

// Each job on a thread of its own, as the program runs them.
std::vector<cli::PortResult> RunTogether(const std::vector<cli::PortJob>& jobs) {
    std::vector<cli::PortResult> results(jobs.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < jobs.size(); ++i)
        threads.emplace_back([&, i] { results[i] = cli::RunPort(jobs[i]); });
    for (std::thread& t : threads)
        t.join();
    return results;
}

// Commands heard from position `from` on.
std::vector<std::string> HeardSince(const sim::PtyServer& instrument, std::size_t from) {
    const std::vector<std::string> all = Commands(instrument);
    return {all.begin() + static_cast<std::ptrdiff_t>(std::min(from, all.size())), all.end()};
}

struct ReadCase {
    const char* name;
    sim::State state;
    cli::Profile expected;
    std::string note;  // a message that says what was left out, or ""
};

sim::State With(sim::State state, const std::function<void(sim::State&)>& change) {
    change(state);
    return state;
}

TEST(CliRead, GivesTheStateEachModelHolds) {
    const std::vector<ReadCase> cases = {
        {"veltrix, accuracy",
         With(StateOf(sim::kModeVeltrix, 19200),
              [](sim::State& s) {
                  s.flashes = 55;
                  s.measurementMode = 1;
              }),
         cli::Profile{0, 19200, kTable, 1, std::nullopt}, ""},
        {"veltrix, no preset",
         With(StateOf(sim::kModeVeltrix, 9600),
              [](sim::State& s) {
                  s.flashes = 30;
                  s.points = 5;
                  s.distance = 1000;
                  s.measurementMode = 3;
              }),
         cli::Profile{0, 9600, kTable, std::nullopt, std::nullopt},
         "measurement left out: the instrument holds 30 flashes, 5 points, 1000 µm"},
        {"morvane, four positions",
         With(StateOf(sim::kModeMorvane, 9600),
              [](sim::State& s) {
                  s.filters = {405, 450, 492, 620};
                  s.filterSeparator = ' ';
                  s.measurementMode = 2;
                  s.plate = {1, 3, 3, 2};
              }),
         cli::Profile{1, 9600, std::vector<int>{405, 450, 492, 620}, 2,
                      cli::Profile::Plate{0, 2, 2, 1}},
         ""},
        {"dravell, firmware 3.05",
         With(StateOf(sim::kModeDravell, 38400), [](sim::State& s) { s.version = "V 3.05"; }),
         cli::Profile{2, 38400, kTable, 0, std::nullopt},
         "plate left out: not held by firmware V 3.05"},
        {"oxq",
         With(StateOf(sim::kModeOxq, 2400),
              [](sim::State& s) {
                  s.filterSeparator = '/';
                  s.measurementMode = 1;
              }),
         cli::Profile{3, 2400, kTable, 1, cli::Profile::Plate{1, 1, 2, 2}}, ""},
    };
    Bench bench;
    std::vector<const sim::PtyServer*> instruments;
    std::vector<cli::PortJob> jobs;
    for (const ReadCase& c : cases) {
        instruments.push_back(bench.StartInstrument(c.state));
        ASSERT_NE(instruments.back(), nullptr);
        jobs.push_back(Job(*instruments.back(), cli::Action::Read));
    }
    // A user who passes through the steps of the window and cancels, on a twin of the
    // emulation with four positions: read sends just what the window sends then.
    const sim::PtyServer* twin = bench.StartInstrument(cases[2].state);
    ASSERT_NE(twin, nullptr);
    std::vector<cli::PortResult> results;
    std::thread commandLine([&] { results = RunTogether(jobs); });
    bench.MakeSheet({twin->SlavePath()});
    bench.Run([](framework::WizardDriver& w) {
        for (int step = 2; step <= 5; ++step)
            ASSERT_TRUE(NextTo(w, step));
        w.Cancel();
    });
    commandLine.join();
    EXPECT_EQ(Commands(*instruments[2]), Commands(*twin));
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const cli::PortResult& r = results[i];
        SCOPED_TRACE(cases[i].name);
        ASSERT_TRUE(r.ok) << r.error << Traffic(*instruments[i]);
        ASSERT_TRUE(r.profile.has_value());
        EXPECT_EQ(cli::WriteProfile(*r.profile), cli::WriteProfile(cases[i].expected));
        if (!cases[i].note.empty()) {
            EXPECT_THAT(r.messages, Contains(StartsWith(cases[i].note)));
        }
        EXPECT_EQ(Describe(instruments[i]->Current()), Describe(cases[i].state));
    }
}

// The choices a user makes in the window for the profile below, step by step.
void ChooseInTheWindow(framework::WizardDriver& w) {
    ASSERT_TRUE(NextTo(w, 2));
    ASSERT_TRUE(w.Click(IDC_MODE_DRAVELL));
    ASSERT_TRUE(w.Select(IDC_BAUDRATE, "38400"));
    ASSERT_TRUE(NextTo(w, 3));
    ASSERT_TRUE(w.Type(IDC_POS6, "700"));
    ASSERT_TRUE(NextTo(w, 4));
    ASSERT_TRUE(w.Click(IDC_ACCURACY));
    ASSERT_TRUE(NextTo(w, 5));
    ASSERT_TRUE(w.Click(IDC_POWER_ON_MOVE_IN));
    ASSERT_TRUE(w.Click(IDC_END_NO_MOVE));
    w.Finish();
}

TEST(CliApply, SendsWhatTheWindowsFinishSendsAndASecondApplyOnlyReads) {
    Bench bench;
    sim::PtyServer* cliInstrument = bench.StartInstrument(StateOf(sim::kModeMorvane, 9600));
    sim::PtyServer* windowInstrument = bench.StartInstrument(StateOf(sim::kModeMorvane, 9600));
    ASSERT_TRUE(cliInstrument != nullptr && windowInstrument != nullptr);
    const cli::Profile wanted{2, 38400, kEdited, 1, cli::Profile::Plate{0, 2, std::nullopt, {}}};

    cli::PortResult applied;
    std::thread commandLine(
        [&] { applied = cli::RunPort(Job(*cliInstrument, cli::Action::Apply, &wanted)); });
    bench.MakeSheet({windowInstrument->SlavePath()});
    const int windowResult = bench.Run(ChooseInTheWindow);
    commandLine.join();

    ASSERT_EQ(windowResult, framework::IDOK) << Traffic(*windowInstrument);
    EXPECT_TRUE(applied.ok && applied.changed && applied.saved) << applied.error;
    EXPECT_EQ(applied.model, "dravell");
    EXPECT_EQ(Commands(*cliInstrument), Commands(*windowInstrument)) << Traffic(*cliInstrument);
    sim::State expected = StateOf(sim::kModeDravell, 38400);
    expected.filters = kEdited;
    expected.measurementMode = 1;
    expected.flashes = 55;
    expected.plate = {1, 3, 3, 3};
    EXPECT_EQ(Describe(cliInstrument->Stored()), Describe(expected));

    // Now it matches: the second apply and a read send the same, and nothing is stored again.
    const std::size_t beforeApply = Commands(*cliInstrument).size();
    const cli::PortResult again = cli::RunPort(Job(*cliInstrument, cli::Action::Apply, &wanted));
    EXPECT_TRUE(again.ok && !again.changed && !again.saved) << again.error;
    const std::vector<std::string> applySent = HeardSince(*cliInstrument, beforeApply);
    const std::size_t beforeRead = Commands(*cliInstrument).size();
    const std::string port = cliInstrument->SlavePath();
    const std::string readPath = testing::TempDir() + "read.json";
    const CliRun read = RunCli({"read", "--port", port, "--baud", "38400", "-o", readPath});
    ASSERT_EQ(read.code, cli::kExitOk) << read.err;
    EXPECT_EQ(applySent, HeardSince(*cliInstrument, beforeRead));
    EXPECT_THAT(applySent, Not(Contains("DB CNF WRITE")));
    EXPECT_EQ(read.out, "");

    // check, both ways, as a shell would run it.
    const CliRun matches = RunCli({"check", readPath, "--port", port, "--baud", "38400"});
    EXPECT_EQ(matches.code, cli::kExitOk) << matches.out << matches.err;
    const std::string older = WriteFile(
        "older.json", R"({"format": 1, "mode": "dravell", "filters": [405, 450, 492, 550, 600, 620],
                        "plate": {"power_on": "in", "measurement_end": "out"}})");
    const CliRun differs = RunCli({"check", older, "--port", port, "--baud", "38400", "-q"});
    EXPECT_EQ(differs.code, cli::kExitFailed);
    const CliRun differsJson =
        RunCli({"check", older, "--port", port, "--baud", "38400", "--json"});
    const auto doc = nlohmann::json::parse(differsJson.out);
    EXPECT_EQ(doc["results"][0]["ok"], false);
    EXPECT_THAT(doc["results"][0]["messages"].get<std::vector<std::string>>(),
                ElementsAre("filters: 405 450 492 550 600 700 -> 405 450 492 550 600 620",
                            "plate: power_on=in measurement_end=stay -> power_on=in "
                            "measurement_end=out"));
}

// check as a user types it: the port relative to the working folder and the profile after it.
// A reader in Veltrix mode differs from a profile for another mode in the mode and in the plate
// defaults, which it cannot hold: both are listed, a line each, and the summary says "differs".
TEST(CliCheck, ListsEveryDifferenceOfAReaderInAnotherMode) {
    Bench bench;
    const sim::PtyServer* instrument = bench.StartInstrument(StateOf(sim::kModeVeltrix, 9600));
    ASSERT_NE(instrument, nullptr);
    const std::string port = std::filesystem::relative(instrument->SlavePath()).string();
    ASSERT_NE(port.front(), '/');
    const std::string other = WriteFile(
        "other-mode.json", R"({"format": 1, "mode": "morvane", "plate": {"power_on": "out"}})");

    const CliRun differs = RunCli({"check", "--port", port, other, "--baud", "9600"});
    EXPECT_EQ(differs.code, cli::kExitFailed) << differs.err;
    const std::string& shown = instrument->SlavePath();
    EXPECT_THAT(differs.out, HasSubstr(shown + ": mode: veltrix -> morvane\n" + shown +
                                       ": plate: not held in Veltrix mode -> power_on=out\n"));
    EXPECT_THAT(differs.out, AllOf(HasSubstr("PROFILE"), HasSubstr("differs"),
                                   Not(HasSubstr("CHANGED")), Not(HasSubstr("FAILED"))));
    const CliRun json = RunCli({"check", "--port", port, other, "--baud", "9600", "--json"});
    const auto row = nlohmann::json::parse(json.out)["results"][0];
    EXPECT_EQ(row["differences"], nlohmann::json::parse(R"([
        {"setting": "mode", "instrument": "veltrix", "profile": "morvane"},
        {"setting": "plate", "instrument": "not held in Veltrix mode",
         "profile": {"power_on": "out"}}])"));
    EXPECT_EQ(row["failures"], nlohmann::json::array());

    const std::string same = WriteFile("same-mode.json", R"({"format": 1, "mode": "veltrix"})");
    const CliRun matches = RunCli({"check", "--port", port, same, "--baud", "9600"});
    EXPECT_EQ(matches.code, cli::kExitOk) << matches.err;
    EXPECT_THAT(matches.out, HasSubstr("matches"));
}

TEST(CliFind, FindsTheInstrumentOnTheThirdOfFourPorts) {
    Bench bench;
    const sim::PtyServer* instrument = bench.StartInstrument(StateOf(sim::kModeDravell, 4800));
    ASSERT_NE(instrument, nullptr);
    const CliRun run = RunCli({"find", "--json", "--port", testkit_test::kMissingNode, "--port",
                               testkit_test::kNotASerialPort, "--port", instrument->SlavePath(),
                               "--port", "/dev/veltrix-cli-missing"});
    EXPECT_EQ(run.code, cli::kExitOk) << run.err;
    const auto results = nlohmann::json::parse(run.out)["results"];
    ASSERT_EQ(results.size(), 4u);
    for (const int other : {0, 1, 3})
        EXPECT_EQ(results[other]["ok"], false) << results[other];
    EXPECT_EQ(results[2]["port"], instrument->SlavePath());
    EXPECT_EQ(results[2]["baud"], 4800);
    EXPECT_EQ(results[2]["line"], "8N1");
    EXPECT_EQ(results[2]["model"], "dravell");
    EXPECT_EQ(results[2]["firmware"], "V 3.10");
}

TEST(CliApply, FourInstrumentsAtOnceWithOneKilledOneSilentOneRefusingToStore) {
    Bench bench;
    const sim::State state = StateOf(sim::kModeMorvane, 9600);
    const sim::Fault slowModeChange{sim::FaultKind::Delay, "DB CNF RCMODE", -1, "", 1000};
    const sim::Fault silence{sim::FaultKind::Silence, "", -1, "", 0};
    const sim::Fault refuseSave{sim::FaultKind::Reply, "DB CNF WRITE", -1, "-", 0};
    sim::PtyServer* killed = bench.StartInstrument(state, {slowModeChange});
    const sim::PtyServer* silent = bench.StartInstrument(state, {silence});
    const sim::PtyServer* refusing = bench.StartInstrument(state, {refuseSave});
    const sim::PtyServer* good = bench.StartInstrument(state);
    ASSERT_TRUE(killed && silent && refusing && good);
    const std::string profile =
        WriteFile("fleet.json", R"({"format": 1, "baud": 38400, "measurement": "accuracy"})");
    const std::string trace = testing::TempDir() + "fleet.trace";
    // Made before the cable is pulled: the killed instrument's path goes with it.
    const std::vector<std::string> args = {"apply",
                                           profile,
                                           "--json",
                                           "--baud",
                                           "9600",
                                           "--trace",
                                           trace,
                                           "--port",
                                           killed->SlavePath(),
                                           "--port",
                                           silent->SlavePath(),
                                           "--port",
                                           refusing->SlavePath(),
                                           "--port",
                                           good->SlavePath()};
    std::thread pullTheCable([&] {
        EXPECT_TRUE(testkit_test::WaitUntilHeard(*killed, "DB CNF RCMODE 1 38400 N 8 1", 30000));
        bench.StopInstrument(killed);
    });
    const CliRun run = RunCli(args);
    pullTheCable.join();

    EXPECT_EQ(run.code, cli::kExitFailed);
    const auto results = nlohmann::json::parse(run.out)["results"];
    ASSERT_EQ(results.size(), 4u);
    EXPECT_EQ(results[3]["ok"], true) << results[3];
    EXPECT_EQ(results[3]["saved"], true);
    EXPECT_EQ(good->Stored().measurementMode, 1);
    EXPECT_EQ(good->Stored().baud, 38400);
    EXPECT_THAT(results[0]["error"].get<std::string>(),
                AllOf(HasSubstr("was lost"), HasSubstr("stored nothing")));
    EXPECT_THAT(results[1]["error"].get<std::string>(), StartsWith("connect: "));
    EXPECT_THAT(results[2]["error"].get<std::string>(),
                AllOf(HasSubstr("\"DB CNF WRITE\" was refused"), HasSubstr("stored nothing")));
    EXPECT_EQ(Describe(refusing->Stored()), Describe(state));
    for (const int failed : {0, 1, 2})
        EXPECT_EQ(results[failed]["saved"], false);
    // A trace per port, numbered in --port order: a header, then what was written.
    for (const int n : {1, 2, 3, 4}) {
        std::ifstream file(trace + "." + std::to_string(n));
        std::string header;
        std::string first;
        EXPECT_TRUE(std::getline(file, header) && header.starts_with("# ")) << n;
        EXPECT_TRUE(std::getline(file, first) && first.find(" W ") != std::string::npos) << n;
    }
}

struct Unfit {
    const char* name;
    sim::State state;
    cli::Profile profile;
    std::string error;
};

TEST(CliApply, AProfileTheInstrumentCannotTakeWritesNothing) {
    const std::vector<Unfit> cases = {
        {"old firmware",
         With(StateOf(sim::kModeDravell, 9600), [](sim::State& s) { s.version = "V 3.05"; }),
         cli::Profile{{}, {}, {}, 1, cli::Profile::Plate{0, {}, {}, {}}},
         "plate: Settings not possible for Version V 3.05"},
        {"veltrix mode", StateOf(sim::kModeMorvane, 9600),
         cli::Profile{0, {}, {}, 1, cli::Profile::Plate{0, {}, {}, {}}},
         "plate: Settings not necessary for VELTRIX"},
        {"six filters on four",
         With(StateOf(sim::kModeMorvane, 9600),
              [](sim::State& s) {
                  s.filters = {405, 450, 492, 620};
              }),
         cli::Profile{{}, {}, kEdited, 1, {}},
         "filters: the profile gives 6 positions, the instrument's slide has 4"},
        {"filter out of range",
         With(StateOf(sim::kModeVeltrix, 9600), [](sim::State& s) { s.filterMax = 650; }),
         cli::Profile{{}, {}, kEdited, 1, {}},
         "filters: Please enter an integer between 340 and 650 for the filter at position 6 !"},
    };
    Bench bench;
    std::vector<const sim::PtyServer*> instruments;
    std::vector<cli::PortJob> jobs;
    for (const Unfit& c : cases) {
        instruments.push_back(bench.StartInstrument(c.state));
        ASSERT_NE(instruments.back(), nullptr);
        jobs.push_back(Job(*instruments.back(), cli::Action::Apply, &c.profile));
    }
    const std::vector<cli::PortResult> results = RunTogether(jobs);
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        EXPECT_FALSE(results[i].ok);
        EXPECT_FALSE(results[i].changed);
        EXPECT_THAT(results[i].error, StartsWith(cases[i].error));
        EXPECT_EQ(Describe(instruments[i]->Current()), Describe(cases[i].state))
            << Traffic(*instruments[i]);
        EXPECT_THAT(Commands(*instruments[i]), Not(Contains("DB CNF WRITE")));
    }
}

}  // namespace
}  // namespace cli_test
