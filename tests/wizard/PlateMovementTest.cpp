#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/Ids.h"
#include "resources/Resource.h"
#include "tests/wizard/WizardHarness.h"

namespace wizard_test {
namespace {

using ::testing::IsEmpty;

constexpr int kVisibleButtons[] = {IDC_POWER_ON_MOVE_IN, IDC_POWER_ON_MOVE_OUT, IDC_END_MOVE_IN,
                                   IDC_END_MOVE_OUT, IDC_END_NO_MOVE};
constexpr int kRemote[] = {IDC_REMOTE_ON_GROUP,     IDC_REMOTE_ON_MOVE_IN, IDC_REMOTE_ON_MOVE_OUT,
                           IDC_REMOTE_ON_NO_MOVE,   IDC_REMOTE_OFF_GROUP,  IDC_REMOTE_OFF_MOVE_IN,
                           IDC_REMOTE_OFF_MOVE_OUT, IDC_REMOTE_OFF_NO_MOVE};

std::vector<int> Held(const WizardHarness& h) {
    const PlateMovementPage& page = *h.sheet.m_pPlateMovementPage;
    return {page.m_nAtPowerOn, page.m_nAtMeasurementEnd, page.m_nAtRemoteOn, page.m_nAtRemoteOff};
}

// The checked position of each group, as the screen holds it (hidden groups too).
std::vector<int> Checked(const WizardHarness& h) {
    const std::vector<std::vector<int>> groups = {
        {IDC_POWER_ON_MOVE_IN, IDC_POWER_ON_MOVE_OUT},
        {IDC_END_MOVE_IN, IDC_END_MOVE_OUT, IDC_END_NO_MOVE},
        {IDC_REMOTE_ON_MOVE_IN, IDC_REMOTE_ON_MOVE_OUT, IDC_REMOTE_ON_NO_MOVE},
        {IDC_REMOTE_OFF_MOVE_IN, IDC_REMOTE_OFF_MOVE_OUT, IDC_REMOTE_OFF_NO_MOVE}};
    std::vector<int> positions;
    for (const auto& group : groups) {
        int checked = -1;
        for (std::size_t i = 0; i < group.size(); ++i) {
            if (h.w.IsChecked(group[i])) checked = checked < 0 ? static_cast<int>(i) : 99;
        }
        positions.push_back(checked);
    }
    return positions;
}

bool ChoicesEnabled(const WizardHarness& h) {
    bool all = h.w.IsEnabled(IDC_SET_DEFAULT);
    for (const int id : kVisibleButtons)
        all = all && h.w.IsEnabled(id);
    return all;
}

bool ChoicesDisabled(const WizardHarness& h) {
    bool none = !h.w.IsEnabled(IDC_SET_DEFAULT);
    for (const int id : kVisibleButtons)
        none = none && !h.w.IsEnabled(id);
    return none;
}

TEST(PlateMovement, InVeltrixModeNothingIsAskedAndTheDefaultIsHeld) {
    WizardHarness h("+VT");
    ASSERT_TRUE(h.OpenAt(4));

    EXPECT_EQ(h.w.Caption(), "Veltrix Instrument Settings V 1.05  -  Step 5 of 5");
    EXPECT_TRUE(ChoicesDisabled(h));
    EXPECT_TRUE(h.w.IsVisible(IDC_NOT_AVAILABLE));
    EXPECT_EQ(h.w.Text(IDC_NOT_AVAILABLE), "Settings not necessary for VELTRIX");
    EXPECT_EQ(h.instrument.Count("DB PLT SET ?"), 0);
    EXPECT_EQ(h.instrument.Count("RV0"), 0);
    EXPECT_EQ(Held(h), (std::vector<int>{1, 1, 2, 2}));
    EXPECT_EQ(Checked(h), (std::vector<int>{1, 1, 2, 2}));
    // The last step offers Finish instead of Next.
    EXPECT_TRUE(h.w.IsVisible(framework::ID_WIZFINISH));
    EXPECT_FALSE(h.w.IsVisible(framework::ID_WIZNEXT));
    EXPECT_TRUE(h.w.IsEnabled(framework::ID_WIZBACK));
}

TEST(PlateMovement, AnEmulationWithNewFirmwareReadsTheDefaultsAndHidesTheRemoteGroups) {
    WizardHarness h("+MV");
    h.instrument.Answer("DB PLT SET ?", "1 3 3 2");
    ASSERT_TRUE(h.OpenAt(4));

    EXPECT_TRUE(ChoicesEnabled(h));
    EXPECT_FALSE(h.w.IsVisible(IDC_NOT_AVAILABLE));
    EXPECT_TRUE(h.w.IsChecked(IDC_POWER_ON_MOVE_IN));
    EXPECT_TRUE(h.w.IsChecked(IDC_END_NO_MOVE));
    EXPECT_EQ(Held(h), (std::vector<int>{0, 2, 2, 1}));
    EXPECT_EQ(Checked(h), (std::vector<int>{0, 2, 2, 1}));
    for (const int id : kRemote)
        EXPECT_FALSE(h.w.IsVisible(id)) << id;
    EXPECT_EQ(h.instrument.Count("DB PLT SET ?"), 1);
    EXPECT_THAT(h.Boxes(), IsEmpty());
}

TEST(PlateMovement, RepliesWithMissingOrBadPartsLeaveThoseGroupsUnselected) {
    struct ReplyCase {
        std::string reply;
        std::vector<int> held;
    };
    const ReplyCase cases[] = {
        {"  2 1 3 1  ", {1, 0, 2, 0}}, {"1 2", {0, 1, -1, -1}}, {"1  2 3", {0, -1, 1, 2}},
        {"x 2 3 3", {-1, 1, 2, 2}},    {"", {-1, -1, -1, -1}},  {"4 0 3 3", {3, -1, 2, 2}},
        {"1 1 1 1 1", {0, 0, 0, 0}},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE("'" + c.reply + "'");
        WizardHarness h("+DL");
        h.instrument.Answer("DB PLT SET ?", c.reply);
        ASSERT_TRUE(h.OpenAt(4));

        EXPECT_EQ(Held(h), c.held);
        std::vector<int> shown = c.held;
        for (int& position : shown)
            position = position > 2 ? -1 : position;
        if (shown[0] > 1) shown[0] = -1;
        EXPECT_EQ(Checked(h), shown);
    }
}

TEST(PlateMovement, OlderFirmwareIsNamedAndDisablesTheChoices) {
    struct VersionCase {
        std::string version;
        bool available;
    };
    const VersionCase cases[] = {{"V 3.09", false}, {"V 3.10", true}, {"V 10.2", false},
                                 {"V 3,10", false}, {"", false},      {"V 4.00", true}};
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(c.version);
        WizardHarness h("+OQ");
        h.instrument.Answer("V", c.version);
        ASSERT_TRUE(h.OpenAt(4));

        EXPECT_EQ(ChoicesEnabled(h), c.available);
        EXPECT_EQ(ChoicesDisabled(h), !c.available);
        EXPECT_EQ(h.w.IsVisible(IDC_NOT_AVAILABLE), !c.available);
        EXPECT_EQ(h.instrument.Count("DB PLT SET ?"), c.available ? 1 : 0);
        if (!c.available) {
            EXPECT_EQ(h.w.Text(IDC_NOT_AVAILABLE),
                      "Settings not possible for Version " + c.version);
            EXPECT_EQ(Held(h), (std::vector<int>{1, 1, 2, 2}));
        }
    }
}

TEST(PlateMovement, AvailabilityFollowsStepTwoButTheDefaultsAreReadOnce) {
    WizardHarness h("+MV");
    ASSERT_TRUE(h.OpenAt(4));
    const int versionQueries = h.instrument.Count("V");
    EXPECT_GE(versionQueries, 1);

    for (int i = 0; i < 3; ++i)
        h.w.Back();
    h.w.Click(IDC_MODE_VELTRIX);
    for (int i = 0; i < 3; ++i)
        h.w.Next();
    ASSERT_EQ(h.w.ActiveIndex(), 4);
    EXPECT_TRUE(ChoicesDisabled(h));
    EXPECT_EQ(h.w.Text(IDC_NOT_AVAILABLE), "Settings not necessary for VELTRIX");
    EXPECT_EQ(h.instrument.Count("V"), versionQueries);

    for (int i = 0; i < 3; ++i)
        h.w.Back();
    h.w.Click(IDC_MODE_DRAVELL);
    for (int i = 0; i < 3; ++i)
        h.w.Next();
    EXPECT_TRUE(ChoicesEnabled(h));
    EXPECT_FALSE(h.w.IsVisible(IDC_NOT_AVAILABLE));
    EXPECT_EQ(h.instrument.Count("V"), versionQueries + 1);
    EXPECT_EQ(h.instrument.Count("DB PLT SET ?"), 1);
}

TEST(PlateMovement, SetDefaultSelectsOutOutAndNoMoveForTheHiddenGroups) {
    WizardHarness h("+MV");
    h.instrument.Answer("DB PLT SET ?", "1 1 1 1");
    ASSERT_TRUE(h.OpenAt(4));
    ASSERT_TRUE(h.w.Click(IDC_END_NO_MOVE));

    ASSERT_TRUE(h.w.Click(IDC_SET_DEFAULT));

    EXPECT_TRUE(h.w.IsChecked(IDC_POWER_ON_MOVE_OUT));
    EXPECT_TRUE(h.w.IsChecked(IDC_END_MOVE_OUT));
    EXPECT_EQ(Held(h), (std::vector<int>{1, 1, 2, 2}));
    EXPECT_EQ(Checked(h), (std::vector<int>{1, 1, 2, 2}));
}

}  // namespace
}  // namespace wizard_test
