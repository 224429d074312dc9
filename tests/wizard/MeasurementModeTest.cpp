#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "resources/Resource.h"
#include "tests/wizard/WizardHarness.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The checked preset: 0 Normal, 1 Accuracy, 2 Center; -1 none, 99 more than one.
int CheckedPreset(const WizardHarness& h) {
    const int buttons[] = {IDC_NORMAL, IDC_ACCURACY, IDC_CENTER};
    int checked = -1;
    for (int i = 0; i < 3; ++i) {
        if (h.w.IsChecked(buttons[i])) checked = checked < 0 ? i : 99;
    }
    return checked;
}

struct Values {
    int distance;
    int flashes;
    int points;
    bool operator==(const Values&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Values& v) {
    return os << v.distance << " um, " << v.flashes << " flashes, " << v.points << " points";
}

Values Shown(const WizardHarness& h) {
    return {h.Number(IDC_DISTANCE), h.Number(IDC_FLASHES), h.Number(IDC_POINTS)};
}

Values Held(const WizardHarness& h) {
    const MeasurementModePage& page = *h.sheet.m_pMeasurementModePage;
    return {page.m_nDistance, page.m_nFlashes, page.m_nPoints};
}

constexpr Values kNormal{440, 8, 3};
constexpr Values kAccuracy{440, 55, 3};
constexpr Values kCenter{175, 22, 1};

struct ReadCase {
    std::string code;
    std::string flashes;  // "+VT": replies to "RN" and "RM"
    std::string points;
    std::string mode;  // the others: reply to "SS M_MODE"
    int checked;
    int held;  // the mode handed over
    Values values;
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.code << " '" << c.flashes << "' '" << c.points << "' '" << c.mode << "'";
}

class MeasurementModeOpens : public ::testing::TestWithParam<ReadCase> {};

TEST_P(MeasurementModeOpens, SelectsThePresetThatFitsAndShowsItsValues) {
    const ReadCase& c = GetParam();
    WizardHarness h(c.code);
    h.instrument.Answer("RN", c.flashes);
    h.instrument.Answer("RM", c.points);
    h.instrument.Answer("SS M_MODE", c.mode);
    ASSERT_TRUE(h.OpenAt(3));

    EXPECT_EQ(h.w.Caption(), "Veltrix Instrument Settings V 1.05  -  Step 4 of 5");
    EXPECT_EQ(CheckedPreset(h), c.checked);
    EXPECT_EQ(h.sheet.m_pMeasurementModePage->m_nMeasurementMode, c.held);
    EXPECT_EQ(Shown(h), c.values);
    EXPECT_EQ(Held(h), c.values);
    EXPECT_THAT(h.Boxes(), IsEmpty());
    if (c.code == "+VT") {
        EXPECT_EQ(h.instrument.Count("RN") + h.instrument.Count("RM"), 2);
        EXPECT_EQ(h.instrument.Count("SS M_MODE"), 0);
    } else {
        EXPECT_EQ(h.instrument.Count("RN") + h.instrument.Count("RM"), 0);
        EXPECT_EQ(h.instrument.Count("SS M_MODE"), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, MeasurementModeOpens,
    ::testing::Values(ReadCase{"+VT", "55", "3 440", "", 1, 1, kAccuracy},
                      ReadCase{"+VT", "22", "1 175", "", 2, 2, kCenter},
                      ReadCase{"+VT", "8", "3 440", "", 0, 0, kNormal},
                      // No preset fits: Normal, whose values replace the ones read.
                      ReadCase{"+VT", "30", "5 1000", "", 0, 0, kNormal},
                      ReadCase{"+MV", "", "", "M_MODE 2", 2, 2, kCenter},
                      ReadCase{"+DL", "", "", "1", 1, 1, kAccuracy},
                      // Custom is for the native mode only: Normal instead.
                      ReadCase{"+MV", "", "", "M_MODE 3", 0, 0, kNormal},
                      // Out of range: nothing selected, the Normal values.
                      ReadCase{"+MV", "", "", "M_MODE 7", -1, -1, kNormal},
                      ReadCase{"+MV", "", "", "", 0, 0, kNormal}));

TEST(MeasurementMode, UnreadableValuesMeetTheDistanceBoundsAtTheFirstActivation) {
    WizardHarness h("+VT");
    h.instrument.Answer("RN", "");
    h.instrument.Answer("RM", "");
    ASSERT_TRUE(h.OpenAt(3));

    EXPECT_THAT(h.Boxes(), ElementsAre("Please enter an integer between 175 and 9000."));
    EXPECT_EQ(CheckedPreset(h), 0);
    EXPECT_EQ(Shown(h), kNormal);

    // Only the first activation met them.
    h.host.ClearBoxes();
    h.w.Back();
    h.w.Next();
    EXPECT_THAT(h.Boxes(), IsEmpty());
}

TEST(MeasurementMode, CustomReadWithTheNativeModeChosenKeepsTheValuesReadAndSelectsNothing) {
    WizardHarness h("+MV");
    h.instrument.Answer("SS M_MODE", "M_MODE 3");
    ASSERT_TRUE(h.OpenAt(1));
    h.w.Click(IDC_MODE_VELTRIX);
    h.w.Next();
    h.w.Next();
    ASSERT_EQ(h.w.ActiveIndex(), 3);

    EXPECT_EQ(CheckedPreset(h), -1);
    EXPECT_EQ(h.sheet.m_pMeasurementModePage->m_nMeasurementMode, -1);
    EXPECT_EQ(Held(h), (Values{2000, 20, 20}));
    EXPECT_TRUE(h.w.IsEnabled(IDC_CUSTOM));
    EXPECT_FALSE(h.w.IsVisible(IDC_CUSTOM));
    EXPECT_THAT(h.Boxes(), IsEmpty());
}

TEST(MeasurementMode, CustomIsOfferedForTheNativeModeOnlyAndNeverShown) {
    WizardHarness h("+VT");
    ASSERT_TRUE(h.OpenAt(3));
    EXPECT_TRUE(h.w.IsEnabled(IDC_CUSTOM));
    EXPECT_FALSE(h.w.Click(IDC_CUSTOM));
    for (const int id :
         {IDC_CUSTOM, IDC_CUSTOM_GROUP, IDC_DISTANCE, IDC_FLASHES, IDC_POINTS, IDC_DISTANCE_LABEL,
          IDC_FLASHES_LABEL, IDC_POINTS_LABEL, IDC_MICROMETRE_LABEL}) {
        EXPECT_FALSE(h.w.IsVisible(id)) << id;
    }

    // Step 2 decides, every time the step comes up.
    h.w.Back();
    h.w.Back();
    h.w.Click(IDC_MODE_DRAVELL);
    h.w.Next();
    h.w.Next();
    EXPECT_FALSE(h.w.IsEnabled(IDC_CUSTOM));
}

TEST(MeasurementMode, APresetClickedReplacesTheValuesAndIsHandedOver) {
    WizardHarness h("+VT");
    h.instrument.Answer("RN", "55");
    ASSERT_TRUE(h.OpenAt(3));

    ASSERT_TRUE(h.w.Click(IDC_CENTER));
    EXPECT_EQ(Shown(h), kCenter);
    ASSERT_TRUE(h.w.Click(IDC_NORMAL));
    EXPECT_EQ(Shown(h), kNormal);
    EXPECT_EQ(CheckedPreset(h), 0);
    EXPECT_FALSE(h.w.IsEnabled(IDC_DISTANCE));

    h.w.Click(IDC_ACCURACY);
    h.w.Next();
    EXPECT_EQ(h.sheet.m_pMeasurementModePage->m_nMeasurementMode, 1);
    EXPECT_EQ(Held(h), kAccuracy);
    EXPECT_EQ(h.instrument.Count("RN"), 1);
}

}  // namespace
}  // namespace wizard_test
