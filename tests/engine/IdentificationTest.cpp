#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/engine/SheetFixture.h"
#include "tests/testkit/ScriptedInstrument.h"

namespace engine_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct VersionCase {
    const char* type;
    std::vector<std::string> commands;  // what the instrument receives
};

void PrintTo(const VersionCase& c, std::ostream* os) {
    *os << '"' << c.type << '"';
}

class FirmwareVersionTest : public SheetFixture,
                            public ::testing::WithParamInterface<VersionCase> {};

TEST_P(FirmwareVersionTest, AsksByTypeAndReturnsTheReply) {
    const VersionCase& c = GetParam();
    sheet->SetInstrumentType(c.type);
    port->SetTerminator(std::string(c.type) == "+VT" ? ETX : CR);
    testkit_test::ScriptedInstrument instrument(*port, c.type);
    instrument.SetVersion("V 3.05");
    const std::string version = sheet->GetFirmwareVersion();
    EXPECT_EQ(instrument.Commands(), c.commands);
    EXPECT_EQ(version, c.commands.empty() ? "" : "V 3.05");
    if (c.commands.empty()) {
        EXPECT_THAT(port->Writes(), IsEmpty());
    }
}

INSTANTIATE_TEST_SUITE_P(Types, FirmwareVersionTest,
                         ::testing::Values(VersionCase{"+VT", {"RV0"}}, VersionCase{"+MV", {"V"}},
                                           VersionCase{"+DL", {"V"}}, VersionCase{"+OQ", {"V"}},
                                           VersionCase{"", {}}, VersionCase{"+vt", {}},
                                           VersionCase{"+MVX", {}}));

TEST_F(SheetFixture, FirmwareVersionIsEmptyWhenTheInstrumentDoesNotAnswer) {
    Connect("+MV");
    testkit_test::ScriptedInstrument instrument(*port, "+MV");
    instrument.Answer("V", std::nullopt);
    EXPECT_EQ(sheet->GetFirmwareVersion(), "");
    EXPECT_THAT(Boxes(), IsEmpty());
}

struct ParseCase {
    std::string text;
    int number;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    *os << '\'' << c.text << '\'';
}

class ParseVersionTest : public SheetFixture, public ::testing::WithParamInterface<ParseCase> {};

TEST_P(ParseVersionTest, ReadsTheThirdToSixthCharacters) {
    EXPECT_EQ(sheet->ParseVersion(GetParam().text), GetParam().number) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, ParseVersionTest,
                         ::testing::Values(ParseCase{"V 3.10", 3100}, ParseCase{"V 3.05", 3050},
                                           ParseCase{"V 3.09", 3090}, ParseCase{"V 10.2", 1020},
                                           ParseCase{"V 3,10", 3},
                                           ParseCase{"V 3.10 build 7", 3100},
                                           // Only the first '.' and the first blank go.
                                           ParseCase{"V 3 .1x", 310}, ParseCase{"V 3.1.", 31},
                                           ParseCase{"V ERR!", 0},
                                           // Shorter than six characters: not looked at.
                                           ParseCase{"V 9.9", 0}, ParseCase{"", 0}));

// Re-identification runs after an accepted mode change; the instrument here was a Dravell and
// is switched to Morvane mode at the same speed.
class ReidentificationTest : public SheetFixture {
protected:
    void SetUp() override {
        Connect("+DL");
        ChooseMode(1);
    }
    testkit_test::ScriptedInstrument instrument{*port, "+DL"};
};

TEST_F(ReidentificationTest, EmptyAnswersAreAskedAgainUntilAKnownCode) {
    instrument.Queue("!", {"", "", "+MV"});
    EXPECT_EQ(sheet->ChangeInstrumentMode(1), TRUE);
    EXPECT_EQ(instrument.TypeQueries(), 3);
    EXPECT_EQ(sheet->GetInstrumentType(), "+MV");
    // 600 for the command, 10000 for its reply, then 2000 before each query.
    EXPECT_THAT(port->TimeoutChanges(), ElementsAre(600, 10000, 2000, 2000, 2000));
}

struct AnswerCase {
    testkit_test::ScriptedInstrument::Replies answers;  // "" is silence
    int queries;
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << c.answers.size() << " answers";
}

class ReidentificationFailureTest : public ReidentificationTest,
                                    public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(ReidentificationFailureTest, KeepsTheOldCodeAndStillSucceeds) {
    instrument.Queue("!", GetParam().answers);
    EXPECT_EQ(sheet->ChangeInstrumentMode(1), TRUE);
    EXPECT_EQ(instrument.TypeQueries(), GetParam().queries);
    EXPECT_EQ(sheet->GetInstrumentType(), "+DL");
    EXPECT_THAT(Boxes(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Answers, ReidentificationFailureTest,
                         ::testing::Values(AnswerCase{{"ERR"}, 1}, AnswerCase{{"", "+XX"}, 2},
                                           AnswerCase{{"", "", ""}, 3}));

TEST_F(SheetFixture, SelectedTypeCodeFollowsTheModeIndex) {
    const std::vector<std::pair<int, std::string>> cases = {{-1, ""},   {0, "+VT"}, {1, "+MV"},
                                                            {2, "+DL"}, {3, "+OQ"}, {4, ""}};
    for (const auto& [mode, code] : cases) {
        ChooseMode(mode);
        EXPECT_EQ(sheet->GetSelectedTypeCode(), code) << mode;
    }
}

TEST_F(SheetFixture, StoredTypeIsKeptAsGiven) {
    EXPECT_EQ(sheet->GetInstrumentType(), "");
    sheet->SetInstrumentType("+XX junk");
    EXPECT_EQ(sheet->GetInstrumentType(), "+XX junk");
}

}  // namespace
}  // namespace engine_test
