// The program's command line.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/Options.h"

namespace {

using app::ParseOptions;

TEST(OptionsTest, OwnOptionsAreTaken) {
    const app::ParsedOptions parsed =
        ParseOptions({"--port", "/dev/pts/3", "--simulate", "--port=/dev/ttyACM0", "--trace",
                      "line.log", "--profile=lab.json"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.profileFile, "lab.json");
    EXPECT_EQ(parsed.options.ports, (std::vector<std::string>{"/dev/pts/3", "/dev/ttyACM0"}));
    EXPECT_TRUE(parsed.options.simulate);
    EXPECT_EQ(parsed.options.traceFile, "line.log");
    EXPECT_FALSE(parsed.options.help);
    EXPECT_FALSE(parsed.options.version);
}

TEST(OptionsTest, NothingGivenMeansNothingAsked) {
    const app::ParsedOptions parsed = ParseOptions({});
    EXPECT_EQ(parsed.error, "");
    EXPECT_TRUE(parsed.options.ports.empty());
    EXPECT_FALSE(parsed.options.simulate);
    EXPECT_EQ(parsed.options.traceFile, "");
}

TEST(OptionsTest, HelpAndVersion) {
    EXPECT_TRUE(ParseOptions({"--help"}).options.help);
    EXPECT_TRUE(ParseOptions({"-h"}).options.help);
    EXPECT_TRUE(ParseOptions({"--version"}).options.version);
    const std::string usage = app::UsageText("veltrix-instrument-settings");
    for (const char* option :
         {"--port PATH", "--simulate", "--trace FILE", "--profile FILE", "--help", "--version"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

TEST(OptionsTest, AutomationAndQtOptionsPassThrough) {
    for (const std::vector<std::string>& line : std::vector<std::vector<std::string>>{
             {"-Automation"},
             {"/Automation"},
             {"-embedding"},
             {"/EMBEDDING"},
             {"/RegServer"},
             {"-unregserver"},
             {"-platform", "offscreen"},
             {"--platform", "offscreen"},
             {"-style", "Fusion", "-reverse"},
             {"-Automation", "--simulate", "-platform", "offscreen"},
         }) {
        const app::ParsedOptions parsed = ParseOptions(line);
        EXPECT_EQ(parsed.error, "") << line.front();
    }
}

TEST(OptionsTest, WhatIsNotUnderstoodIsNamed) {
    const struct {
        std::vector<std::string> line;
        const char* named;
    } cases[] = {
        {{"--bogus"}, "Unknown option: --bogus"},
        {{"-x"}, "Unknown option: -x"},
        {{"/Automatic"}, "Unknown option: /Automatic"},
        {{"/RegServer32"}, "Unknown option: /RegServer32"},
        {{"--Automation"}, "Unknown option: --Automation"},
        {{"stray"}, "Unexpected argument: stray"},
        {{"--port"}, "--port needs the path of a serial port"},
        {{"--port="}, "--port needs the path of a serial port"},
        {{"--trace"}, "--trace needs a file name"},
        {{"--profile"}, "--profile needs a file name"},
        {{"--simulate=yes"}, "Unknown option: --simulate=yes"},
        {{"-platform"}, "-platform needs a value"},
    };
    for (const auto& c : cases) {
        const app::ParsedOptions parsed = ParseOptions(c.line);
        EXPECT_NE(parsed.error.find(c.named), std::string::npos)
            << c.line.front() << " gave: " << parsed.error;
        EXPECT_NE(parsed.error.find("--help"), std::string::npos);
    }
}

TEST(OptionsTest, APortValueMayLookLikeAnOption) {
    // The value after --port is taken as it is, even when it starts with a dash.
    const app::ParsedOptions parsed = ParseOptions({"--port", "-odd-name"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.ports, (std::vector<std::string>{"-odd-name"}));
}

// A port given relative to the working folder is opened from there; a name that is no file
// there stays as given.
TEST(OptionsTest, ARelativePortPathNamesThePortFromTheWorkingFolder) {
    const std::string relative =
        std::filesystem::relative("/dev/null", std::filesystem::current_path()).string();
    ASSERT_NE(relative.front(), '/');
    EXPECT_EQ(ParseOptions({"--port", relative}).options.ports,
              (std::vector<std::string>{"/dev/null"}));
    EXPECT_EQ(ParseOptions({"--port", "COM5"}).options.ports, (std::vector<std::string>{"COM5"}));
}

}  // namespace
