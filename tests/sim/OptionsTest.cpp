#include "sim/Options.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

sim::State Apply(const sim::ProgramOptions& options) {
    sim::State state;
    for (const auto& setting : options.settings)
        setting(state);
    return state;
}

TEST(SimOptions, ReadsEverySettingInBothForms) {
    sim::ProgramOptions options;
    std::string error;
    ASSERT_TRUE(sim::ParseOptions({"--model",         "oxq",
                                   "--baud=19200",    "--version",
                                   "V 3.05",          "--filters",
                                   "405/450/492/550", "--filter-form",
                                   "slash",           "--slide=?",
                                   "--range",         "300-800",
                                   "--fault",         "delay=800,on=FC 0",
                                   "--pace",          "--state",
                                   "s.json",          "--log=l.jsonl",
                                   "--link",          "/tmp/x",
                                   "--scenario",      "a.txt",
                                   "--mode",          "2"},
                                  options, error))
        << error;
    sim::State expected;
    expected.mode = 2;  // the later option wins
    expected.baud = 19200;
    expected.version = "V 3.05";
    expected.filters = {405, 450, 492, 550};
    expected.filterSeparator = '/';
    expected.slideKind = '?';
    expected.filterMin = 300;
    expected.filterMax = 800;
    EXPECT_EQ(Apply(options), expected);
    ASSERT_EQ(options.faults.size(), 2u);
    EXPECT_EQ(options.faults[0].delayMs, 800);
    EXPECT_EQ(options.faults[1].kind, sim::FaultKind::Pace);
    EXPECT_EQ(options.stateFile, "s.json");
    EXPECT_EQ(options.logFile, "l.jsonl");
    EXPECT_EQ(options.link, "/tmp/x");
    EXPECT_EQ(options.scenarioFiles, std::vector<std::string>{"a.txt"});
    EXPECT_FALSE(options.help);
}

TEST(SimOptions, RejectsBadCommandLinesWithTheOptionNamed) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--mode"},
        {"--mode", "5"},
        {"--baud", "1234"},
        {"--baud", "fast"},
        {"--filters", "1-2"},
        {"--filters", "a-b"},
        {"--range", "750-340"},
        {"--range", "340"},
        {"--slide", "++"},
        {"--filter-form", "x"},
        {"--fault", "jam"},
        {"--help=yes"},
        {"-x"},
        {"positional"},
        {"--replay", "t.trace", "--mode", "1"},
        {"--replay", "t.trace", "--fault", "busy"},
        {"--replay"},
    };
    for (const auto& args : bad) {
        sim::ProgramOptions options;
        std::string error;
        EXPECT_FALSE(sim::ParseOptions(args, options, error)) << args[0];
        EXPECT_NE(error.find(args[0].substr(0, args[0].find('='))), std::string::npos) << error;
    }
}

// "--version" with a value sets the firmware's version, as it always did; alone it asks for
// the program's.
TEST(SimOptions, VersionAloneAsksForTheProgramsVersion) {
    const std::vector<std::pair<std::vector<std::string>, bool>> cases = {
        {{"--version"}, true},
        {{"--version", "--mode", "1"}, true},
        {{"--version", "V 3.05"}, false},
        {{"--version=V 3.05"}, false},
        {{"--firmware", "V 3.05"}, false},
    };
    for (const auto& [args, asksVersion] : cases) {
        sim::ProgramOptions options;
        std::string error;
        ASSERT_TRUE(sim::ParseOptions(args, options, error)) << error;
        EXPECT_EQ(options.version, asksVersion) << args.back();
        EXPECT_EQ(Apply(options).version, asksVersion ? "V 3.10" : "V 3.05") << args.back();
    }
}

TEST(SimOptions, HelpDocumentsEveryOptionAndFaultKind) {
    sim::ProgramOptions options;
    std::string error;
    ASSERT_TRUE(sim::ParseOptions({"-h"}, options, error));
    EXPECT_TRUE(options.help);
    const std::string help = sim::HelpText();
    for (const char* word : {"--mode",        "--model",    "--baud",   "--version", "--filters",
                             "--filter-form", "--slide",    "--range",  "--fault",   "--pace",
                             "--scenario",    "--state",    "--log",    "--link",    "--help",
                             "--replay",      "--firmware", "busy",     "err",       "silence",
                             "checksum",      "nocr",       "stray-cr", "stray-etx", "delay"}) {
        EXPECT_NE(help.find(word), std::string::npos) << word;
    }
}

TEST(SimOptions, ScenarioFileHoldsOneFaultPerLine) {
    const std::string path = ::testing::TempDir() + "sim_scenario_test.txt";
    std::ofstream(path) << "# ready polls\nbusy,times=2\r\n\n  err,times=1\nsilence,on=V\n";
    std::vector<sim::Fault> faults;
    std::string error;
    ASSERT_TRUE(sim::ReadScenario(path, faults, error)) << error;
    ASSERT_EQ(faults.size(), 3u);
    EXPECT_EQ(faults[0].times, 2);
    EXPECT_EQ(faults[2].on, "V");

    std::ofstream(path) << "busy\nnocr=1\n";
    EXPECT_FALSE(sim::ReadScenario(path, faults, error));
    EXPECT_NE(error.find(":2:"), std::string::npos) << error;
    EXPECT_FALSE(sim::ReadScenario(path + ".missing", faults, error));
    std::remove(path.c_str());
}

}  // namespace
