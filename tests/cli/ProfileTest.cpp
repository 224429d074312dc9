// Profiles: what the reader refuses (naming the key and what is allowed, before any port is
// opened) and what it takes, and how a read profile is written back.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "cli/Differences.h"
#include "cli/Profile.h"
#include "cli/Program.h"
#include "cli/Report.h"
#include "cli/Text.h"
#include "device/PortSource.h"
#include "resources/Resources.h"
#include "tests/cli/CliRun.h"

namespace cli_test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::StartsWith;

class CliProfileTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { resources::RegisterResources(); }
};

struct BadProfile {
    const char* name;
    std::string text;
    std::string message;  // part of what the program says
};

class BadProfileTest : public CliProfileTest, public ::testing::WithParamInterface<BadProfile> {};

// Every bad profile ends the program with 2 before a port is opened: the port here does not
// exist, and opening it would be reported as a failed instrument instead (exit 1).
TEST_P(BadProfileTest, EndsTheProgramWithTwoNamingTheKey) {
    const std::string path = WriteFile(std::string(GetParam().name) + ".json", GetParam().text);
    for (const char* command : {"check", "apply"}) {
        const CliRun run = RunCli({command, path, "--port", "/dev/veltrix-cli-missing", "--json"});
        EXPECT_EQ(run.code, cli::kExitUsage) << command;
        EXPECT_THAT(run.err, HasSubstr(GetParam().message)) << command;
        EXPECT_THAT(run.out, IsEmpty()) << command;
    }
}

INSTANTIATE_TEST_SUITE_P(
    CliProfiles, BadProfileTest,
    ::testing::Values(
        BadProfile{"NotJson", R"({"format": 1, "mode": )", "the profile is not JSON"},
        BadProfile{"NotAnObject", "[1]", "must be a JSON object"},
        BadProfile{"ZeroByte", std::string("{\"format\": 1}\0{\"mdoe\": 2}", 25),
                   "a zero byte at offset 13"},
        BadProfile{
            "UnknownKey", R"({"format": 1, "mdoe": "oxq"})",
            R"(unknown key "mdoe" (allowed: format, mode, baud, filters, measurement, plate))"},
        BadProfile{"FormatMissing", R"({"mode": "oxq"})", R"("format" is missing (allowed: 1))"},
        BadProfile{"FormatTwo", R"({"format": 2})", R"("format" must be 1)"},
        BadProfile{"ModeUnknown", R"({"format": 1, "mode": "native"})",
                   R"("mode" must be one of veltrix, morvane, dravell, oxq)"},
        BadProfile{"BaudAsText", R"({"format": 1, "baud": "9600"})",
                   R"("baud" must be an integer)"},
        BadProfile{"BaudFraction", R"({"format": 1, "baud": 9600.5})",
                   R"("baud" must be an integer)"},
        BadProfile{
            "BaudNotOfTheMode", R"({"format": 1, "mode": "morvane", "baud": 19200})",
            R"("baud": 19200 is not offered in morvane mode (allowed: 38400, 9600, 4800, 2400, 1200, 600, 300))"},
        BadProfile{"BaudOfNoMode", R"({"format": 1, "baud": 14400})",
                   R"("baud": 14400 is not offered (allowed: 38400, 19200, 9600,)"},
        BadProfile{"BaudHuge", R"({"format": 1, "baud": 18446744073709551615})",
                   R"("baud" must be an integer)"},
        BadProfile{"FiveFilters", R"({"format": 1, "filters": [405, 450, 492, 550, 600]})",
                   R"("filters" must be a list of 4 or 6 integers)"},
        BadProfile{"FilterAsText", R"({"format": 1, "filters": [405, "450", 492, 550]})",
                   R"("filters"[1] must be an integer)"},
        BadProfile{"FilterTooLarge", R"({"format": 1, "filters": [405, 450, 492, 1000]})",
                   R"("filters"[3]: 1000: Please enter an integer between 0 and 999.)"},
        BadProfile{"FilterNegative", R"({"format": 1, "filters": [-405, 450, 492, 550]})",
                   R"("filters"[0]: -405: Please enter an integer between 0 and 999.)"},
        BadProfile{"MeasurementCustom", R"({"format": 1, "measurement": "custom"})",
                   R"("measurement" must be one of normal, accuracy, center)"},
        BadProfile{
            "PlateNotAnObject", R"({"format": 1, "plate": "out"})",
            R"("plate" must be an object with the keys power_on, measurement_end, remote_on, remote_off)"},
        BadProfile{"PlateUnknownKey", R"({"format": 1, "plate": {"power_off": "in"}})",
                   R"(unknown key "plate.power_off")"},
        BadProfile{"PowerOnStays", R"({"format": 1, "plate": {"power_on": "stay"}})",
                   R"("plate.power_on" must be one of in, out)"},
        BadProfile{"RemoteOnAsNumber", R"({"format": 1, "plate": {"remote_on": 2}})",
                   R"("plate.remote_on" must be one of in, out, stay)"},
        // The parser keeps the last of two equal keys: a profile meaning two things is refused.
        BadProfile{"KeyTwice", R"({"format": 1, "mode": "oxq", "mode": "veltrix"})",
                   R"(the key "mode" is given twice)"},
        BadProfile{"PlateKeyTwice",
                   R"({"format": 1, "plate": {"power_on": "in", "power_on": "out"}})",
                   R"(the key "power_on" is given twice)"},
        BadProfile{"NumberBeyondAnyRange", R"({"format": 1, "baud": 1e400})",
                   "a number in the profile is out of range"},
        BadProfile{"TooLarge", R"({"format": 1, "mode": ")" + std::string(1024 * 1024, 'x') + "\"}",
                   "is larger than 1 MiB"}),
    [](const ::testing::TestParamInfo<BadProfile>& param) { return param.param.name; });

// Each bad command line ends with 2 before any port is opened (the ports here do not exist:
// opening one would fail an instrument, exit 1), saying what is wrong.
TEST_F(CliProfileTest, BadCommandLinesEndWithTwo) {
    const std::string profile = WriteFile("good.json", R"({"format": 1})");
    struct Line {
        std::vector<std::string> args;
        std::string message;  // part of what the program says; "" for CLI11's own
    };
    const std::vector<Line> lines = {
        {{}, ""},
        {{"frobnicate"}, ""},
        {{"read"}, ""},                                          // no port
        {{"read", "--port", "/dev/a", "--port", "/dev/b"}, ""},  // read takes one
        {{"check", profile}, ""},                                // no port
        {{"apply", "--port", "/dev/a"}, ""},                     // no profile
        {{"read", "--port", "/dev/a", "--baud", "14400"}, "--baud: 14400 is not offered"},
        {{"read", "--port", "/dev/a", "--baud", "0"}, "--baud: 0 is not offered"},
        {{"find", "--port", "/dev/a", "--baud", "0"}, ""},  // find has no --baud
        {{"check", "/nonexistent/profile.json", "--port", "/dev/a"},
         "/nonexistent/profile.json: No such file or directory"},
        {{"check", testing::TempDir(), "--port", "/dev/a"}, ": is a directory"},
        {{"apply", "/dev/zero", "--port", "/dev/a"}, "/dev/zero: is not a regular file"},
        {{"check", profile, "--port", "/dev/a", "--port", "/dev/b", "--port", "/dev/a"},
         "--port: /dev/a is given twice"},
        {{"apply", profile, "--port", "/dev/null", "--port", "/dev/../dev/null"},
         "--port: /dev/../dev/null is given twice (as /dev/null)"},
    };
    for (const Line& line : lines) {
        const CliRun run = RunCli(line.args);
        EXPECT_EQ(run.code, cli::kExitUsage) << ::testing::PrintToString(line.args) << run.err;
        EXPECT_THAT(run.err, HasSubstr(line.message)) << ::testing::PrintToString(line.args);
    }
    EXPECT_EQ(RunCli({"apply", "--help"}).code, cli::kExitOk);
    // The package checks ask every installed program for its version.
    const CliRun version = RunCli({"--version"});
    EXPECT_EQ(version.code, cli::kExitOk);
    EXPECT_EQ(version.out.rfind("veltrix-settings ", 0), 0u) << version.out;
}

TEST_F(CliProfileTest, PortsListsTheGivenPortsFirstAsStepOneDoes) {
    const CliRun run =
        RunCli({"ports", "--port", "/dev/veltrix-cli-a", "--port", "/dev/veltrix-cli-b"});
    device::SetExtraPorts({});
    EXPECT_EQ(run.code, cli::kExitOk);
    EXPECT_THAT(run.out,
                StartsWith("/dev/veltrix-cli-a  ( COM1 )\n/dev/veltrix-cli-b  ( COM2 )\n"));
}

TEST_F(CliProfileTest, WritesWhatItReadsBack) {
    cli::Profile full;
    full.mode = 3;
    full.baud = 19200;
    full.filters = std::vector<int>{405, 0, 492, 550};
    full.measurement = 2;
    full.plate = cli::Profile::Plate{0, 2, std::nullopt, 1};
    for (const cli::Profile& profile : {full, cli::Profile{}}) {
        cli::Profile read;
        std::string error;
        ASSERT_TRUE(cli::ReadProfile(cli::WriteProfile(profile), read, error)) << error;
        EXPECT_EQ(read, profile);
    }
    EXPECT_THAT(cli::WriteProfile(full), HasSubstr(R"("mode": "oxq")"));
    EXPECT_THAT(cli::WriteProfile(full), HasSubstr(R"("filters": [405, 0, 492, 550],)"));
    EXPECT_THAT(cli::WriteProfile(full), HasSubstr(R"("measurement_end": "stay")"));
    EXPECT_EQ(cli::WriteProfile(cli::Profile{}), "{\n  \"format\": 1\n}\n");
}

struct DifferenceCase {
    const char* name;
    engine::InstrumentSettings held;
    cli::Profile wanted;
    std::vector<std::string> lines;
};

cli::Profile With(std::optional<int> mode, std::optional<int> baud,
                  std::optional<std::vector<int>> filters, std::optional<int> measurement,
                  std::optional<cli::Profile::Plate> plate) {
    return cli::Profile{mode, baud, std::move(filters), measurement, plate};
}

// The instrument's side: a profile's values as read, with some settings not held or unread.
engine::InstrumentSettings Held(
    const cli::Profile& read, const std::function<void(engine::InstrumentSettings&)>& change = {}) {
    engine::InstrumentSettings held = cli::SettingsOf(read);
    if (change) change(held);
    return held;
}

std::vector<std::string> Lines(const std::vector<cli::Difference>& differences) {
    std::vector<std::string> lines;
    for (const cli::Difference& d : differences)
        lines.push_back(cli::DifferenceLine(d));
    return lines;
}

TEST(CliDifferences, NameEachDifferingSettingOfTheProfile) {
    const std::vector<int> table{405, 450, 492, 550, 600, 620};
    const std::vector<int> edited{405, 450, 492, 550, 600, 700};
    const cli::Profile::Plate plate{1, 1, 2, 2};
    engine::Exchange silent;
    silent.command = "GW";
    silent.outcome = engine::ExchangeOutcome::NoReply;
    const std::vector<DifferenceCase> cases = {
        {"Same", Held(With(1, 9600, table, 0, plate)), With(1, 9600, table, 0, plate), {}},
        {"OnlyTheProfilesKeysCount",
         Held(With(1, 9600, table, 0, plate)),
         With({}, {}, {}, {}, {}),
         {}},
        {"Filters",
         Held(With(1, 9600, table, 0, {})),
         With({}, {}, edited, {}, {}),
         {"filters: 405 450 492 550 600 620 -> 405 450 492 550 600 700"}},
        {"ModeAndBaud",
         Held(With(1, 9600, {}, {}, {})),
         With(3, 19200, {}, {}, {}),
         {"mode: morvane -> oxq", "baud: 9600 -> 19200"}},
        {"NoPresetHeld",
         Held(With(0, 9600, {}, {}, {}),
              [](auto& h) {
                  h.measurement.SetRead(engine::Measurement{-1, {{30, 5, 1000}}});
              }),
         With({}, {}, {}, 1, {}),
         {"measurement: none of the presets -> accuracy"}},
        {"NoSlide",
         Held(With(1, 9600, {}, {}, {}), [](auto& h) { h.filters.SetNotHeld("no filter slide"); }),
         With({}, {}, table, {}, {}),
         {"filters: no filter slide -> 405 450 492 550 600 620"}},
        {"OnePlateGroup",
         Held(With(1, 9600, {}, {}, plate)),
         With({}, {}, {}, {}, cli::Profile::Plate{std::nullopt, std::nullopt, 1, std::nullopt}),
         {"plate: remote_on=stay -> remote_on=out"}},
        {"PlateInVeltrixMode",
         Held(With(0, 9600, {}, {}, {}),
              [](auto& h) { h.plate.SetNotHeld(engine::kNotHeldInVeltrixMode); }),
         With(1, {}, {}, {}, cli::Profile::Plate{0, std::nullopt, std::nullopt, std::nullopt}),
         {"mode: veltrix -> morvane", "plate: not held in Veltrix mode -> power_on=in"}},
        // What could not be read is a failure of its own, never a difference.
        {"UnreadSettingsDoNotDiffer",
         Held(With(1, 9600, {}, {}, {}), [&](auto& h) { h.filters.SetFailed(silent); }),
         With({}, {}, table, 2, {}),
         {}},
    };
    for (const DifferenceCase& c : cases)
        EXPECT_EQ(Lines(cli::Differences(c.held, c.wanted)), c.lines) << c.name;
}

// An instrument's reply reaches the terminal in message lines and the summary: its control
// bytes (an escape sequence, say) are shown, not obeyed.
TEST(CliText, ControlBytesFromTheLineAreShownEscaped) {
    constexpr char kReply[] = "ERR\x1b[2J\x07 7\x7f\nnext\tcol\0";
    EXPECT_EQ(cli::Printable(std::string(kReply, sizeof kReply - 1)),
              "ERR\\x1B[2J\\x07 7\\x7F\nnext\tcol\\x00");
    cli::PortResult result;
    result.port = "/dev/pts/3";
    result.error = "ERR\x1b]0;pwned\x07";
    EXPECT_THAT(cli::SummaryTable({result}), HasSubstr("FAILED: ERR\\x1B]0;pwned\\x07"));
}

}  // namespace
}  // namespace cli_test
