#include "sim/StateFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

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
    for (const char* text :
         {"", "{", "[]", R"({"mode": 1,})", R"({"mode": "1"})", R"({"mode": 7})",
          R"({"baud": 1234})", R"({"filters": [1, 2, 3]})", R"({"plate": [1, 2, 3]})",
          R"({"plate": [1, 2, 3, 4]})", R"({"slideKind": "II"})", R"({"filterSeparator": ","})",
          R"({"version": "\u0100"})", R"({"mode": 99999999999999999})", R"({"mode": 1} x)",
          R"({"version": "abc)", R"({"version": "\u41\"x"})", R"({"version": "V 3.10\r"})",
          R"({"version": "\u0002+"})"}) {
        sim::State state = Unusual();
        std::string error;
        EXPECT_FALSE(sim::StateFromJson(text, state, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
        EXPECT_EQ(state, Unusual()) << text;
    }
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
