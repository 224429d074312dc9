#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/engine/ApplyFixture.h"
#include "tests/testkit/Wire.h"

namespace engine_test {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kMeasurementSet[] = "Measurement mode set successfully\n";
constexpr char kPlateSet[] = "Default for plate movement set successfully\n";
constexpr char kFilterSet[] = "Filterslide defined successfully\n";

using ApplySettingsTest = ApplyFixture;

TEST_F(ApplySettingsTest, VeltrixSetsFlashesPointsAndDistanceOnly) {
    testkit_test::ScriptedInstrument& vt = ConnectInstrument("+VT");
    SetMeasurement(1, 3, 440, 8);
    EXPECT_EQ(sheet->ApplySettings(), TRUE);
    EXPECT_THAT(vt.Commands(), ElementsAre("DN 8", "DM 3 440", "DN 8"));
    EXPECT_THAT(port->Writes(), Contains(testkit_test::Frame("DM 3 440")));
    EXPECT_THAT(Boxes(), ElementsAre(kMeasurementSet));
    // The summary comes after the busy cursor has gone.
    EXPECT_FALSE(host.Boxes()[0].cursorBusy);
    EXPECT_EQ(host.WaitCursorBegins(), 1);
    EXPECT_FALSE(host.IsCursorBusy());
}

TEST_F(ApplySettingsTest, EmulationSetsTheModeIndexAndPlateMovementFromVersion310) {
    testkit_test::ScriptedInstrument& mv = ConnectInstrument("+MV");
    SetPlateMovement(1, 1, 2, 2);
    EXPECT_EQ(sheet->ApplySettings(), TRUE);
    EXPECT_THAT(mv.Commands(), ElementsAre("MM0", "V", "DB PLT SET 2 2 3 3"));
    EXPECT_THAT(port->Writes(), Contains(testkit_test::ShortFrame("DB PLT SET 2 2 3 3")));
    EXPECT_THAT(Boxes(), ElementsAre(std::string(kMeasurementSet) + kPlateSet));
}

TEST_F(ApplySettingsTest, PlateMovementIsSkippedBelowVersion310) {
    testkit_test::ScriptedInstrument& mv = ConnectInstrument("+MV");
    mv.SetVersion("V 3.05");
    SetMeasurement(2, 1, 0, 8);
    EXPECT_EQ(sheet->ApplySettings(), TRUE);
    EXPECT_THAT(mv.Commands(), ElementsAre("MM2", "V"));
    EXPECT_THAT(Boxes(), ElementsAre(kMeasurementSet));
}

TEST_F(ApplySettingsTest, FilterSlideOnDravellGoesThroughNativeModeAndBack) {
    testkit_test::ScriptedInstrument& dl = ConnectInstrument("+DL");
    SetFilters(405, 450, 492, 620, 0, 0);
    SetMeasurement(1, 1, 0, 8);
    SetPlateMovement(0, 1, 2, 0);
    EXPECT_EQ(sheet->ApplySettings(), TRUE);
    EXPECT_THAT(dl.Commands(),
                ElementsAre("DB CNF RCMODE 0 9600 N 8 1", "DF 405 450 492 620 0 0",
                            "DB CNF RCMODE 2 9600 N 8 1", "V", "MM1", "V", "DB PLT SET 1 2 3 1"));
    // The table travels in the native frame, the change back too.
    EXPECT_THAT(port->Writes(), Contains(testkit_test::Frame("DF 405 450 492 620 0 0")));
    EXPECT_THAT(port->Writes(), Contains(testkit_test::Frame("DB CNF RCMODE 2 9600 N 8 1")));
    EXPECT_THAT(Boxes(), ElementsAre(std::string(kFilterSet) +
                                     "Instrument changed to +DL, Version: V 3.10\n" +
                                     kMeasurementSet + kPlateSet));
    EXPECT_EQ(sheet->GetInstrumentType(), "+DL");
    EXPECT_EQ(port->GetTerminator(), CR);
}

TEST_F(ApplySettingsTest, OxqModeChangesTheLocalLineTo7E2) {
    testkit_test::ScriptedInstrument& mv = ConnectInstrument("+MV");
    ChooseMode(3, "9600");
    EXPECT_EQ(sheet->ApplySettings(), TRUE);
    EXPECT_THAT(mv.Commands(),
                ElementsAre("DB CNF RCMODE 4 9600 E 7 2", "V", "MM0", "V", "DB PLT SET 1 1 1 1"));
    EXPECT_THAT(port->AppliedLines(), ElementsAre(testkit_test::LineSettings{9600, 'E', 7, 2}));
    EXPECT_EQ(port->GetTerminator(), CR);
    EXPECT_THAT(Boxes(), ElementsAre("Instrument changed to +OQ, Version: V 3.10\n" +
                                     std::string(kMeasurementSet) + kPlateSet));
}

TEST_F(ApplySettingsTest, ANewSpeedAloneIsAModeChange) {
    testkit_test::ScriptedInstrument& vt = ConnectInstrument("+VT");
    ChooseMode(0, "19200");
    EXPECT_EQ(sheet->ApplySettings(), TRUE);
    EXPECT_THAT(vt.Commands(),
                ElementsAre("DB CNF RCMODE 0 19200 N 8 1", "RV0", "DN 8", "DM 1 0", "DN 8"));
    EXPECT_EQ(port->GetBaudRate(), 19200);
}

struct MeasurementFailure {
    const char* type;
    const char* refused;
    std::vector<std::string> commands;
};

void PrintTo(const MeasurementFailure& c, std::ostream* os) {
    *os << c.type << " refusing " << c.refused;
}

class MeasurementFailureTest : public ApplyFixture,
                               public ::testing::WithParamInterface<MeasurementFailure> {};

TEST_P(MeasurementFailureTest, StopsAtTheFirstRefusalAndShowsTheErrorAlone) {
    testkit_test::ScriptedInstrument& fake = ConnectInstrument(GetParam().type);
    SetMeasurement(0, 3, 440, 16);
    fake.Answer(GetParam().refused, "-");
    EXPECT_EQ(sheet->ApplySettings(), FALSE);
    EXPECT_EQ(fake.Commands(), GetParam().commands);
    EXPECT_THAT(Boxes(), ElementsAre("Error setting measurement mode!"));
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, MeasurementFailureTest,
    ::testing::Values(MeasurementFailure{"+VT", "DN 8", {"DN 8"}},
                      MeasurementFailure{"+VT", "DM 3 440", {"DN 8", "DM 3 440"}},
                      MeasurementFailure{"+VT", "DN 16", {"DN 8", "DM 3 440", "DN 16"}},
                      MeasurementFailure{"+OQ", "MM0", {"MM0"}}));

TEST_F(ApplySettingsTest, UnknownStoredTypeSendsNoMeasurementCommand) {
    testkit_test::ScriptedInstrument& fake = ConnectInstrument("+MV");
    // Nothing identified and no mode chosen: no change is due, and no command fits.
    sheet->SetInstrumentType("");
    ChooseMode(-1, "9600");
    EXPECT_EQ(sheet->ApplySettings(), FALSE);
    EXPECT_THAT(fake.Commands(), IsEmpty());
    EXPECT_THAT(Boxes(), ElementsAre("Error setting measurement mode!"));
}

TEST_F(ApplySettingsTest, RefusedPlateMovementReplacesTheSummary) {
    testkit_test::ScriptedInstrument& mv = ConnectInstrument("+MV");
    mv.Answer("DB PLT SET 1 1 1 1", "-");
    EXPECT_EQ(sheet->ApplySettings(), FALSE);
    EXPECT_THAT(Boxes(), ElementsAre("Error setting default for plate movement!"));
}

TEST_F(ApplySettingsTest, FailedSwitchToNativeModeFailsTheFilterSlideAtOnce) {
    testkit_test::ScriptedInstrument& mv = ConnectInstrument("+MV");
    SetFilters(405, 450, 492, 620, 0, 0);
    mv.Answer("DB CNF RCMODE 0 9600 N 8 1", "-");
    EXPECT_EQ(sheet->ApplySettings(), FALSE);
    EXPECT_THAT(mv.Commands(), ElementsAre("DB CNF RCMODE 0 9600 N 8 1"));
    EXPECT_THAT(Boxes(),
                ElementsAre("Error changing instrument mode!", "Error defining filterslide!"));
    EXPECT_THAT(port->AppliedLines(), IsEmpty());
}

TEST_F(ApplySettingsTest, UnconfirmedFilterTableCountsWhenTheStatusIsClear) {
    testkit_test::ScriptedInstrument& vt = ConnectInstrument("+VT");
    SetFilters(405, 450, 0, 0, 0, 0);
    vt.Answer("DF 405 450 0 0 0 0", "-");
    EXPECT_EQ(sheet->ApplySettings(), TRUE);
    // The status check sends "??" as a command after its own ready poll.
    EXPECT_EQ(vt.Polls(), 1 + 2 + 3);
    EXPECT_THAT(Boxes(), ElementsAre(std::string(kFilterSet) + kMeasurementSet));
}

TEST_F(ApplySettingsTest, UnconfirmedFilterTableFailsOnAnErrorStatus) {
    testkit_test::ScriptedInstrument& vt = ConnectInstrument("+VT");
    SetFilters(405, 450, 0, 0, 0, 0);
    vt.Answer("DF 405 450 0 0 0 0", "-");
    vt.Queue("?", {"S", "ERR 3"});
    EXPECT_EQ(sheet->ApplySettings(), FALSE);
    EXPECT_THAT(vt.Commands(), ElementsAre("DF 405 450 0 0 0 0"));
    EXPECT_THAT(Boxes(), ElementsAre("ERR 3", "Error defining filterslide!"));
}

TEST_F(ApplySettingsTest, SilentVersionAfterAModeChangeIsReported) {
    testkit_test::ScriptedInstrument& vt = ConnectInstrument("+VT");
    SetFilters(405, 450, 0, 0, 0, 0);
    ChooseMode(1, "9600");
    vt.Answer("V", std::nullopt);
    EXPECT_EQ(sheet->ApplySettings(), FALSE);
    EXPECT_THAT(vt.Commands(),
                ElementsAre("DF 405 450 0 0 0 0", "DB CNF RCMODE 1 9600 N 8 1", "V"));
    EXPECT_THAT(Boxes(),
                ElementsAre(std::string(kFilterSet) +
                            "Error reading the firmware version after changing the instrument "
                            "mode!"));
}

TEST_F(ApplySettingsTest, RefusedModeChangeEndsWithTheLinesCollectedBefore) {
    testkit_test::ScriptedInstrument& vt = ConnectInstrument("+VT");
    SetFilters(405, 450, 0, 0, 0, 0);
    ChooseMode(2, "9600");
    vt.Answer("DB CNF RCMODE 2 9600 N 8 1", "-");
    EXPECT_EQ(sheet->ApplySettings(), FALSE);
    EXPECT_THAT(vt.Commands(), ElementsAre("DF 405 450 0 0 0 0", "DB CNF RCMODE 2 9600 N 8 1"));
    EXPECT_THAT(Boxes(), ElementsAre("Error changing instrument mode!", kFilterSet));
    EXPECT_TRUE(host.Boxes()[0].cursorBusy);
    EXPECT_FALSE(host.Boxes()[1].cursorBusy);
}

TEST_F(ApplySettingsTest, RefusedModeChangeWithNothingCollectedShowsOneBox) {
    testkit_test::ScriptedInstrument& mv = ConnectInstrument("+MV");
    ChooseMode(2, "9600");
    mv.Answer("DB CNF RCMODE 2 9600 N 8 1", "-");
    EXPECT_EQ(sheet->ApplySettings(), FALSE);
    EXPECT_THAT(Boxes(), ElementsAre("Error changing instrument mode!"));
    EXPECT_THAT(port->AppliedLines(), IsEmpty());
}

}  // namespace
}  // namespace engine_test
