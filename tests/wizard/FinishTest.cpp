#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/Ids.h"
#include "resources/Resource.h"
#include "tests/wizard/WizardHarness.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;

TEST(Finish, AppliesThenSavesAndClosesWhenTheInstrumentStoredTheSettings) {
    WizardHarness h("+MV");
    ASSERT_TRUE(h.OpenAt(4));
    h.w.Click(IDC_POWER_ON_MOVE_IN);
    h.instrument.ClearCommands();

    ASSERT_TRUE(h.w.Finish());

    EXPECT_TRUE(h.w.IsEnded());
    EXPECT_EQ(h.w.Result(), framework::IDOK);
    // The choice on screen was taken over before the settings were written.
    EXPECT_THAT(h.instrument.Commands(),
                ElementsAre("MM0", "V", "DB PLT SET 1 2 3 3", "DB CNF WRITE"));
    EXPECT_THAT(h.Boxes(), ElementsAre("Measurement mode set successfully\n"
                                       "Default for plate movement set successfully\n"));
}

TEST(Finish, AFailedSaveKeepsTheWizardOpen) {
    WizardHarness h("+VT");
    h.instrument.Answer("DB CNF WRITE", "-");
    ASSERT_TRUE(h.OpenAt(4));

    h.w.Finish();

    EXPECT_FALSE(h.w.IsEnded());
    EXPECT_EQ(h.w.ActiveIndex(), 4);
    EXPECT_EQ(h.instrument.Commands().back(), "DB CNF WRITE");
    EXPECT_THAT(h.Boxes().back(),
                testing::StartsWith(
                    "Error saving instrument settings!\nThe instrument answered \"-\" instead"));
}

TEST(Finish, AFailedApplyDoesNotSaveAndKeepsTheWizardOpen) {
    WizardHarness h("+VT");
    h.instrument.Answer("DM 3 440", "-");
    ASSERT_TRUE(h.OpenAt(4));

    h.w.Finish();

    EXPECT_FALSE(h.w.IsEnded());
    EXPECT_EQ(h.instrument.Count("DB CNF WRITE"), 0);
    EXPECT_THAT(h.Boxes(), ElementsAre("Error setting measurement mode!"));

    // Once the instrument accepts, Finish goes through.
    h.instrument.Answer("DM 3 440", "+");
    h.host.ClearBoxes();
    h.w.Finish();
    EXPECT_TRUE(h.w.IsEnded());
}

TEST(Finish, WritesTheFilterTableOnlyAfterTheUserEditedIt) {
    for (const bool edit : {false, true}) {
        SCOPED_TRACE(edit);
        WizardHarness h("+VT");
        ASSERT_TRUE(h.OpenAt(2));
        if (edit) h.w.Type(IDC_POS5, "700");
        h.w.Next();
        h.w.Next();

        h.w.Finish();

        EXPECT_TRUE(h.w.IsEnded());
        EXPECT_EQ(h.instrument.Count("DF 440 492 550 620 700 0"), edit ? 1 : 0);
        EXPECT_EQ(h.instrument.Count("DF 440 492 550 620 0 0"), 0);
    }
}

}  // namespace
}  // namespace wizard_test
