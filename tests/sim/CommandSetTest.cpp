#include "sim/CommandSet.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using sim::State;

using Edit = std::function<void(State&)>;
const Edit kNothing = [](State&) {};

struct Case {
    const char* command;
    std::string reply;
    Edit before = kNothing;  // the instrument before the command (from the defaults)
    Edit change = kNothing;  // what the command changes; refused commands change nothing
};

class SimCommandSetCases : public ::testing::TestWithParam<Case> {};

TEST_P(SimCommandSetCases, AnswersAndChangesOnlyWhatTheCommandSets) {
    State state;
    GetParam().before(state);
    State expected = state;
    GetParam().change(expected);
    const sim::Answer answer = sim::Respond(state, GetParam().command, nullptr);
    EXPECT_EQ(answer.reply, GetParam().reply);
    EXPECT_EQ(state, expected);
}

Edit Mode(int mode) {
    return [mode](State& s) { s.mode = mode; };
}

const std::string kUnknown(sim::kUnknownCommandReply);

INSTANTIATE_TEST_SUITE_P(
    Queries, SimCommandSetCases,
    ::testing::Values(Case{"!", "+VT"}, Case{"!", "+OQ", Mode(3)}, Case{"BR", "+DL", Mode(2)},
                      Case{"??", "S"}, Case{"?", "S", Mode(1)}, Case{"H", "+", Mode(1)},
                      Case{"BA", "+"}, Case{"V", "V 3.10", Mode(2)}, Case{"RV0", "V 3.10"},
                      Case{"GW", "405-450-492-550-600-620"},
                      Case{"I", "405/450/492/550",
                           [](State& s) {
                               s.mode = 1;
                               s.filters = {405, 450, 492, 550};
                               s.filterSeparator = '/';
                           }},
                      Case{"FC 0", "+I", Mode(3)},
                      Case{"FC 0", "+?",
                           [](State& s) {
                               s.mode = 3;
                               s.slideKind = '?';
                           }},
                      Case{"DB FLT WR", "340-750"}, Case{"DB FLT MOVE I", "+"},
                      Case{"DB FLT MOVE E", "+", Mode(3)}, Case{"RN", "8"}, Case{"RM", "3 440"},
                      Case{"SS M_MODE", "M_MODE 0", Mode(1)},
                      Case{"DB PLT SET ?", "2 2 3 3", Mode(2)},
                      // Asked in native mode too, before Finish switches to the chosen one.
                      Case{"DB PLT SET ?", "2 2 3 3"}, Case{"XYZ", kUnknown}, Case{"", kUnknown},
                      Case{"V ", kUnknown, Mode(1)}));

// Each mode has its own command set: the native one, and the emulations' one. A command of
// the other set is answered with the error reply, and changes nothing.
INSTANTIATE_TEST_SUITE_P(
    WrongMode, SimCommandSetCases,
    ::testing::Values(Case{"H", kUnknown}, Case{"V", kUnknown}, Case{"I", kUnknown},
                      Case{"FC 0", kUnknown}, Case{"FC 0", kUnknown, Mode(1)},
                      Case{"SS M_MODE", kUnknown}, Case{"MM1", kUnknown},
                      Case{"BA", kUnknown, Mode(1)}, Case{"RV0", kUnknown, Mode(2)},
                      Case{"GW", kUnknown, Mode(3)}, Case{"RN", kUnknown, Mode(1)},
                      Case{"RM", kUnknown, Mode(1)}, Case{"DN 55", kUnknown, Mode(2)},
                      Case{"DM 1 175", kUnknown, Mode(3)},
                      Case{"DF 405 450 492 550 600 620", kUnknown, Mode(1)}));

INSTANTIATE_TEST_SUITE_P(
    Settings, SimCommandSetCases,
    ::testing::Values(
        Case{"DF 340 0 750 500 0 0", "+", kNothing,
             [](State& s) { s.filters = {340, 0, 750, 500, 0, 0}; }},
        Case{"DF 405 450 492 550 0 0", "+",
             [](State& s) {
                 s.filters = {1, 2, 3, 4};
             },
             [](State& s) {
                 s.filters = {405, 450, 492, 550};
             }},
        Case{"DF 405 450 492 550 600 0", "-",
             [](State& s) {
                 s.filters = {1, 2, 3, 4};
             }},
        Case{"DF 339 0 0 0 0 0", "-"}, Case{"DF 751 0 0 0 0 0", "-"},
        Case{"DF 405 450 492 550 600", "-"}, Case{"DF 405 450 492 550 600 6x0", "-"},
        Case{"DN 55", "+", kNothing, [](State& s) { s.flashes = 55, s.measurementMode = 1; }},
        Case{"DN 30", "+", kNothing, [](State& s) { s.flashes = 30, s.measurementMode = 3; }},
        Case{"DN 0", "-"}, Case{"DN 56", "-"}, Case{"DN ", "-"},
        Case{"DM 1 175", "+", [](State& s) { s.flashes = 22; },
             [](State& s) { s.points = 1, s.distance = 175, s.measurementMode = 2; }},
        Case{"DM 3", "-"}, Case{"DM 41 440", "-"}, Case{"DM 3 174", "-"},
        Case{"MM1", "+", Mode(1), [](State& s) { s.flashes = 55, s.measurementMode = 1; }},
        Case{"MM2", "+", Mode(2),
             [](State& s) {
                 s.flashes = 22, s.points = 1, s.distance = 175, s.measurementMode = 2;
             }},
        Case{"MM3", "+", Mode(3), [](State& s) { s.measurementMode = 3; }},
        Case{"MM4", "-", Mode(1)}, Case{"MM-1", "-", Mode(1)}, Case{"MM", "-", Mode(1)},
        Case{"DB PLT SET 1 3 3 2", "+", Mode(1),
             [](State& s) {
                 s.plate = {1, 3, 3, 2};
             }},
        Case{"DB PLT SET 1 3 3 4", "-", Mode(1)}, Case{"DB PLT SET 1 3 3", "-", Mode(1)},
        Case{"DB PLT SET 1  3 3", "-", Mode(1)},
        Case{"DB PLT SET 1 3 3 2", "-",
             [](State& s) {
                 s.mode = 1;
                 s.version = "V 3.09";
             }},
        Case{"DB PLT SET ?", "-", [](State& s) {
                 s.mode = 2;
                 s.version = "V 3.05";
             }}));

INSTANTIATE_TEST_SUITE_P(
    ModeChange, SimCommandSetCases,
    ::testing::Values(Case{"DB CNF RCMODE 1 19200 N 8 1", "+", kNothing,
                           [](State& s) { s.mode = 1, s.baud = 19200; }},
                      Case{"DB CNF RCMODE 4 9600 E 7 2", "+", kNothing, Mode(3)},
                      Case{"DB CNF RCMODE 0 2400 N 8 1", "+", Mode(2),
                           [](State& s) { s.mode = 0, s.baud = 2400; }},
                      Case{"DB CNF RCMODE 3 9600 N 8 1", "-"},
                      Case{"DB CNF RCMODE 4 9600 N 8 1", "-"},
                      Case{"DB CNF RCMODE 1 9600 E 7 2", "-"},
                      Case{"DB CNF RCMODE 1 9601 N 8 1", "-"},
                      Case{"DB CNF RCMODE 1 9600 N 8", "-"}, Case{"DB CNF RCMODE ", "-"},
                      Case{"DB CNF RCMODE 1 9600 N 8 1 1", "-"}));

TEST(SimCommandSet, ModeChangeReportsWhetherTheLineOrFramingChanged) {
    State state;
    EXPECT_FALSE(sim::Respond(state, "DB CNF RCMODE 0 9600 N 8 1", nullptr).modeChanged);
    EXPECT_TRUE(sim::Respond(state, "DB CNF RCMODE 1 9600 N 8 1", nullptr).modeChanged);
    EXPECT_TRUE(sim::Respond(state, "DB CNF RCMODE 1 4800 N 8 1", nullptr).modeChanged);
}

TEST(SimCommandSet, WriteHandsTheStateToTheStoreAndRefusesWhenItFails) {
    State state;
    state.flashes = 22;
    State kept;
    EXPECT_EQ(sim::Respond(state, "DB CNF WRITE",
                           [&](const State& s) {
                               kept = s;
                               return true;
                           })
                  .reply,
              "+");
    EXPECT_EQ(kept, state);
    EXPECT_EQ(sim::Respond(state, "DB CNF WRITE", [](const State&) { return false; }).reply, "-");
}

TEST(SimState, VersionNumberReadsDigitsAroundTheFirstDecimalPoint) {
    EXPECT_EQ(sim::VersionNumber("V 3.10"), 3100);
    EXPECT_EQ(sim::VersionNumber("V 3.1"), 3100);
    EXPECT_EQ(sim::VersionNumber("V 3.09"), 3090);
    EXPECT_EQ(sim::VersionNumber("Version 10.2a"), 10200);
    EXPECT_EQ(sim::VersionNumber("V. 3"), 0);
    EXPECT_EQ(sim::VersionNumber(""), 0);
}

}  // namespace
