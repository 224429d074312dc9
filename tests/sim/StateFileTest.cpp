#include "sim/StateFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string_view>

namespace {

sim::State Unusual() {
    sim::State s;
    s.mode = 3;
    s.baud = 19200;
    s.version = "V \"3.20\"\\\x01\xE9";
    s.filters = {0, 405, 0, 620};
    s.filterSeparator = ' ';
    s.slideKind = '?';
    s.filterMin = 300;
    s.filterMax = 800;
    s.flashes = 30;
    s.points = 5;
    s.distance = 1000;
    s.measurementMode = 3;
    s.plate = {1, 3, 3, 2};
    return s;
}

TEST(SimStateFile, JsonRoundTripKeepsEveryField) {
    sim::State read;
    std::string error;
    ASSERT_TRUE(sim::StateFromJson(sim::StateToJson(Unusual()), read, error)) << error;
    EXPECT_EQ(read, Unusual());
}

TEST(SimStateFile, MissingFieldsKeepTheirValuesAndUnknownOnesAreIgnored) {
    sim::State state = Unusual();
    std::string error;
    ASSERT_TRUE(sim::StateFromJson(R"({"mode": 1, "future": [1, 2], "note": "x"})", state, error))
        << error;
    sim::State expected = Unusual();
    expected.mode = 1;
    EXPECT_EQ(state, expected);
}

TEST(SimStateFile, RejectsBrokenOrOutOfRangeTextsAndKeepsTheState) {
    const std::string_view texts[] = {"",
                                      "{",
                                      "[]",
                                      R"({"mode": 1,})",
                                      R"({"mode": "1"})",
                                      R"({"mode": 7})",
                                      R"({"baud": 1234})",
                                      R"({"filters": [1, 2, 3]})",
                                      R"({"plate": [1, 2, 3]})",
                                      R"({"plate": [1, 2, 3, 4]})",
                                      R"({"slideKind": "II"})",
                                      R"({"filterSeparator": ","})",
                                      R"({"version": "\u0100"})",
                                      R"({"mode": 99999999999999999})",
                                      R"({"mode": 1} x)",
                                      R"({"version": "abc)",
                                      R"({"version": "\u41\"x"})",
                                      R"({"version": "V 3.10\r"})",
                                      R"({"version": "\u0002+"})",
                                      R"({"mode": 18446744073709551615})",
                                      R"({"mode": -99999999999999999999})",
                                      R"({"mode": 1.0})",
                                      R"({"mode": null})",
                                      R"({"mode": true})",
                                      R"({"filters": [405, 450, "492", 550]})",
                                      R"({"plate": {}})",
                                      R"({"future": 1e999})",
                                      "{\"version\": \"\xE9\"}",
                                      std::string_view("{\"mode\": 1}\0x", 14)};
    for (const std::string_view text : texts) {
        sim::State state = Unusual();
        std::string error;
        EXPECT_FALSE(sim::StateFromJson(text, state, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(state, Unusual()) << text;
    }
}

TEST(SimStateFile, ErrorsSayWhereAndWhat) {
    const struct {
        std::string_view text;
        std::string_view expected;
    } cases[] = {
        {"{\n  \"mode\": 1,\n  \"baud\": }", "line 3, column 11"},
        {"[1, 2]", "expected a JSON object, found array"},
        {R"({"mode": 18446744073709551615})", R"(field "mode" is out of range)"},
        {R"({"points": "3"})", R"(field "points" must be an integer)"},
        {R"({"filters": [405, null]})", R"(field "filters" must be a list of integers)"},
        {R"({"version": "\u0100"})", R"(field "version" must be a string of characters up)"},
        {R"({"plate": [1, 2, 3]})", R"(field "plate" must hold four integers)"},
    };
    for (const auto& c : cases) {
        sim::State state;
        std::string error;
        EXPECT_FALSE(sim::StateFromJson(c.text, state, error)) << c.text;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << " -> " << error;
    }
}

TEST(SimStateFile, ReadsCharactersUpToFfAsCodePageBytesAndIgnoresDeepUnknownFields) {
    sim::State state;
    std::string error;
    const std::string deep = std::string(30000, '[') + std::string(30000, ']');
    ASSERT_TRUE(sim::StateFromJson(
        "{\"version\": \"V 3.10 \xC3\xA9\\u00e9\", \"x\": " + deep + ", \"mode\": 2}", state,
        error))
        << error;
    EXPECT_EQ(state.version, "V 3.10 \xE9\xE9");
    EXPECT_EQ(state.mode, 2);
    EXPECT_EQ(sim::StateToJson(state).find('\xE9'), std::string::npos);
}

TEST(SimStateFile, SavesAtomicallyAndLoadsBack) {
    const std::string path = ::testing::TempDir() + "sim_state_test.json";
    std::remove(path.c_str());
    sim::State state = Unusual();
    std::string error;
    EXPECT_EQ(sim::LoadStateFile(path, state, error), sim::LoadResult::Missing);
    EXPECT_EQ(state, Unusual());

    ASSERT_TRUE(sim::SaveStateFile(path, Unusual(), error)) << error;
    sim::State loaded;
    EXPECT_EQ(sim::LoadStateFile(path, loaded, error), sim::LoadResult::Loaded) << error;
    EXPECT_EQ(loaded, Unusual());
    EXPECT_FALSE(std::ifstream(path + ".tmp").good());

    std::ofstream(path) << "{\"mode\": ";
    EXPECT_EQ(sim::LoadStateFile(path, loaded, error), sim::LoadResult::Failed);
    EXPECT_NE(error.find(path), std::string::npos);
    EXPECT_FALSE(sim::SaveStateFile("/nonexistent-dir/state.json", loaded, error));
    std::remove(path.c_str());
}

}  // namespace
