// Every read of steps 2 to 5 crossed with the ways an exchange fails: no reply, a wrong
// checksum, an error reply, an instrument busy for ever, a link lost. The command line fails
// the instrument naming the setting, the command and the cause, leaves the setting out of what
// it read and writes nothing; the window says it once. The command line runs on a virtual
// clock, so a 30 s ready wait costs no time; the window's ready wait is shortened instead.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/PortJob.h"
#include "cli/Report.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Screens.h"
#include "tests/testkit/VirtualTime.h"

namespace cli_test {
namespace {

using ::testing::AllOf;
using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;
using testkit_test::Bench;
using testkit_test::Commands;
using testkit_test::NextTo;
using testkit_test::StateOf;
using testkit_test::Traffic;

enum class Failure { NoReply, WrongChecksum, ErrorReply, BusyForEver, LinkLost };

struct Row {
    int mode;
    std::string command;
    std::string setting;
    int step;    // the step (1-based) whose first activation reads it
    int before;  // how many commands a run sends before it
    Failure failure;
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.command << " " << static_cast<int>(row.failure);
}

// The step reads of each mode, in the order a run makes them.
struct Read {
    std::string command;
    std::string setting;
    int step;
};
const std::vector<Read> kVeltrixReads = {{"BA", "mode", 2},
                                         {"GW", "filters", 3},
                                         {"DB FLT WR", "filters", 3},
                                         {"RN", "measurement", 4},
                                         {"RM", "measurement", 4}};
const std::vector<Read> kMorvaneReads = {{"H", "mode", 2},
                                         {"I", "filters", 3},
                                         {"DB FLT WR", "filters", 3},
                                         {"SS M_MODE", "measurement", 4},
                                         {"V", "plate", 5},
                                         {"DB PLT SET ?", "plate", 5}};

std::vector<Row> Rows() {
    std::vector<Row> rows;
    for (const auto& [mode, reads] : {std::pair{sim::kModeVeltrix, kVeltrixReads},
                                      std::pair{sim::kModeMorvane, kMorvaneReads}}) {
        for (std::size_t i = 0; i < reads.size(); ++i) {
            const int before = static_cast<int>(i);
            for (const Failure failure :
                 {Failure::NoReply, Failure::WrongChecksum, Failure::ErrorReply,
                  Failure::BusyForEver, Failure::LinkLost}) {
                // Only the native mode checksums its frames; step 2 does not look at its reply.
                if (failure == Failure::WrongChecksum && mode != sim::kModeVeltrix) continue;
                const bool examined = reads[i].step != 2;
                if (!examined &&
                    (failure == Failure::NoReply || failure == Failure::WrongChecksum)) {
                    continue;
                }
                rows.push_back(
                    {mode, reads[i].command, reads[i].setting, reads[i].step, before, failure});
            }
        }
    }
    return rows;
}

constexpr const char* kErrorReply = "ERR 5 lamp failure";

// The instrument's reply to the command, or to the polls from the command on.
std::vector<sim::Fault> StaticFaults(const Row& row) {
    using K = sim::FaultKind;
    switch (row.failure) {
        case Failure::NoReply:
            return {{K::Silence, row.command, -1, {}, 0}};
        case Failure::WrongChecksum:
            return {{K::BadChecksum, row.command, -1, {}, 0}};
        case Failure::ErrorReply:
            return {{K::Reply, row.command, -1, kErrorReply, 0}};
        case Failure::BusyForEver:
            // Ready for the polls before the commands that come first, busy from then on: the
            // first reply of the faults that match wins.
            return {{K::Reply, "?", row.before, "S", 0}, {K::Reply, "?", -1, "B", 0}};
        case Failure::LinkLost:
            // Gone while the program waits for the reply.
            return {{K::Silence, row.command, -1, {}, 0}};
    }
    return {};
}

// What happens on the line while a run goes: the instrument goes.
std::thread Saboteur(const Row& row, Bench& bench, sim::PtyServer* instrument) {
    if (row.failure == Failure::LinkLost) {
        return std::thread([&bench, row, instrument] {
            EXPECT_TRUE(testkit_test::WaitUntilHeard(*instrument, row.command, 30000));
            bench.StopInstrument(instrument);
        });
    }
    return {};
}

// How the failure is named, after the command.
std::string Cause(const Row& row, int readyWaitS) {
    const std::string command = "\"" + row.command + "\"";
    switch (row.failure) {
        case Failure::NoReply:
            return "no reply to " + command + " within 0.6 s";
        case Failure::WrongChecksum:
            return "wrong checksum in the reply to " + command;
        case Failure::ErrorReply:
            return "error reply \"" + std::string(kErrorReply) + "\" to " + command;
        case Failure::BusyForEver:
            return "did not report ready within " + std::to_string(readyWaitS) + " s (" + command +
                   " not sent)";
        case Failure::LinkLost:
            return "the link was lost after " + command;
    }
    return {};
}

cli::PortResult RunCliOn(const sim::PtyServer& instrument, cli::Action action,
                         const cli::Profile* wanted) {
    testkit_test::VirtualTime time;
    cli::PortJob job;
    job.port = instrument.SlavePath();
    job.baud = 9600;
    job.action = action;
    job.wanted = wanted;
    job.clock = &time.clock;
    return cli::RunPort(job);
}

class ReadFailures : public ::testing::TestWithParam<Row> {};

TEST_P(ReadFailures, FailTheInstrumentNamingSettingCommandAndCause) {
    const Row& row = GetParam();
    Bench bench;
    const sim::State state = StateOf(row.mode, 9600);

    // read: the setting is left out, and the instrument fails naming what could not be read.
    sim::PtyServer* reader = bench.StartInstrument(state, StaticFaults(row));
    ASSERT_NE(reader, nullptr);
    std::thread sabotage = Saboteur(row, bench, reader);
    const cli::PortResult read = RunCliOn(*reader, cli::Action::Read, nullptr);
    if (sabotage.joinable()) sabotage.join();
    EXPECT_FALSE(read.ok);
    // A lost instrument has gone with its log.
    const std::string traffic = row.failure == Failure::LinkLost ? std::string() : Traffic(*reader);
    EXPECT_THAT(read.error, StartsWith(row.setting + ": " + Cause(row, 30))) << traffic;
    ASSERT_FALSE(read.failures.empty());
    EXPECT_EQ(read.failures.front().setting, row.setting);
    EXPECT_EQ(read.failures.front().command, row.command);
    ASSERT_TRUE(read.profile.has_value()) << read.error;
    const auto document = cli::ProfileDocument(*read.profile);
    if (row.step != 2) {
        EXPECT_FALSE(document.contains(row.setting)) << document.dump();
    }
    EXPECT_THAT(nlohmann::json::parse(cli::ResultsJson({read}))["results"][0]["failures"][0],
                AllOf(Contains(row.command), Contains(row.setting)));

    // check: what could not be read neither matches nor differs; the instrument fails.
    if (row.failure != Failure::LinkLost) {
        sim::PtyServer* checked = bench.StartInstrument(state, StaticFaults(row));
        ASSERT_NE(checked, nullptr);
        std::thread busy = Saboteur(row, bench, checked);
        const cli::Profile wanted{{}, {}, {}, 1, {}};
        const cli::PortResult check = RunCliOn(*checked, cli::Action::Check, &wanted);
        if (busy.joinable()) busy.join();
        EXPECT_FALSE(check.ok);
        EXPECT_THAT(check.error, StartsWith(row.setting + ": " + Cause(row, 30)));
        for (const cli::Difference& difference : check.differences)
            EXPECT_NE(difference.setting, row.setting);
    }

    // apply: what could not be read is not written over, and nothing is stored.
    if (row.failure != Failure::LinkLost) {
        sim::PtyServer* target = bench.StartInstrument(state, StaticFaults(row));
        ASSERT_NE(target, nullptr);
        std::thread busy = Saboteur(row, bench, target);
        const cli::Profile wanted{{}, {}, {}, 1, {}};
        const cli::PortResult applied = RunCliOn(*target, cli::Action::Apply, &wanted);
        if (busy.joinable()) busy.join();
        EXPECT_FALSE(applied.ok);
        EXPECT_FALSE(applied.changed);
        EXPECT_THAT(applied.error, StartsWith(row.setting + ": " + Cause(row, 30)));
        EXPECT_THAT(Commands(*target), Not(Contains("DB CNF WRITE"))) << Traffic(*target);
    }

    // The window: the step that reads it says so once, naming the command and the cause (what
    // the step shows may bring its own messages, as before); a lost link is said by its own
    // message.
    sim::PtyServer* shown = bench.StartInstrument(state, StaticFaults(row));
    ASSERT_NE(shown, nullptr);
    bench.MakeSheet({shown->SlavePath()});
    bench.Sheet().m_nReadyWaitLimitMs = 1000;
    std::thread cable = Saboteur(row, bench, shown);
    ASSERT_TRUE(bench.Open());
    for (int step = 2; step <= row.step; ++step)
        EXPECT_TRUE(NextTo(bench.Driver(), step)) << step;
    if (cable.joinable()) cable.join();
    if (row.failure == Failure::LinkLost) {
        ASSERT_FALSE(bench.Boxes().empty());
        EXPECT_THAT(bench.Boxes().front(), HasSubstr(" was lost: "));
        EXPECT_THAT(bench.Boxes(), Not(Contains(StartsWith("Could not read "))));
    } else {
        const std::vector<std::string> boxes = bench.Boxes();
        EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(),
                                [](const std::string& box) {
                                    return box.starts_with("Could not read ") ||
                                           box.find("did not report ready") != std::string::npos;
                                }),
                  1)
            << ::testing::PrintToString(boxes);
        EXPECT_THAT(boxes, Contains(HasSubstr(Cause(row, 1) + ".\nWhat this step shows")));
    }
    bench.Driver().Cancel();
}

std::string RowName(const ::testing::TestParamInfo<Row>& info) {
    constexpr std::array<const char*, 5> kFailureNames = {"NoReply", "WrongChecksum", "ErrorReply",
                                                          "BusyForEver", "LinkLost"};
    std::string name = std::string(info.param.mode == sim::kModeVeltrix ? "Veltrix_" : "Morvane_") +
                       info.param.command + "_" +
                       kFailureNames[static_cast<std::size_t>(info.param.failure)];
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Table, ReadFailures, ::testing::ValuesIn(Rows()), RowName);

}  // namespace
}  // namespace cli_test
