#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "resources/Resource.h"
#include "tests/wizard/WizardHarness.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;

const std::vector<std::string> kCommon = {"9600", "4800", "2400", "1200", "600", "300"};
const char* const k8N1 = "8 databits, 1 stop bit, no parity";
const char* const k7E2 = "7 databits, 2 stop bits, even parity";

std::vector<std::string> Rates(std::vector<std::string> first) {
    first.insert(first.end(), kCommon.begin(), kCommon.end());
    return first;
}

// Connects on step 1 at the instrument's rate and goes to step 2.
void ConnectAt(WizardHarness& h, int baud) {
    h.ListenAt(1, baud);
    h.Open();
    ASSERT_TRUE(h.w.Select(IDC_BAUDRATE, std::to_string(baud)));
    h.w.Next();
    ASSERT_EQ(h.w.ActiveIndex(), 1);
}

int CheckedMode(const WizardHarness& h) {
    const int buttons[] = {IDC_MODE_VELTRIX, IDC_MODE_MORVANE, IDC_MODE_DRAVELL, IDC_MODE_OXQ};
    int checked = -1;
    for (int i = 0; i < 4; ++i) {
        if (h.w.IsChecked(buttons[i])) checked = checked < 0 ? i : 99;
    }
    return checked;
}

struct OpeningCase {
    std::string code;
    int baud;
    int mode;
    std::vector<std::string> items;
    std::string selected;
    std::string lineFormat;
    std::string command;
};

void PrintTo(const OpeningCase& c, std::ostream* os) {
    *os << c.code << " at " << c.baud;
}

class InstrumentModeOpens : public ::testing::TestWithParam<OpeningCase> {};

TEST_P(InstrumentModeOpens, SelectsTheConnectedModeAndOffersItsRates) {
    const OpeningCase& c = GetParam();
    WizardHarness h(c.code);
    ConnectAt(h, c.baud);

    EXPECT_EQ(h.w.Caption(), "Veltrix Instrument Settings V 1.05  -  Step 2 of 5");
    EXPECT_EQ(CheckedMode(h), c.mode);
    EXPECT_EQ(h.w.Items(IDC_BAUDRATE), c.items);
    EXPECT_EQ(h.w.SelectedText(IDC_BAUDRATE), c.selected);
    EXPECT_EQ(h.w.Text(IDC_LINE_FORMAT), c.lineFormat);
    EXPECT_THAT(h.instrument.Commands(), ElementsAre(c.command));
    EXPECT_THAT(h.Boxes(), ::testing::IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Types, InstrumentModeOpens,
    ::testing::Values(OpeningCase{"+VT", 9600, 0, Rates({"38400", "19200"}), "9600", k8N1, "BA"},
                      OpeningCase{"+VT", 19200, 0, Rates({"38400", "19200"}), "19200", k8N1, "BA"},
                      // Morvane and Dravell offer no 19200: 38400 stands in for it.
                      OpeningCase{"+MV", 19200, 1, Rates({"38400"}), "38400", k8N1, "H"},
                      OpeningCase{"+DL", 4800, 2, Rates({"38400"}), "4800", k8N1, "H"},
                      // OXQ offers no 38400: 19200 stands in for it.
                      OpeningCase{"+OQ", 38400, 3, Rates({"19200"}), "19200", k7E2, "H"}));

TEST(InstrumentMode, ChoosingAModeRefillsTheRatesAndKeepsOrReplacesTheChosenOne) {
    struct Step {
        int button;
        std::string select;  // chosen before the click; "" keeps the selection
        std::vector<std::string> items;
        std::string selected;
        std::string lineFormat;
    };
    const Step steps[] = {
        {IDC_MODE_OXQ, "38400", Rates({"19200"}), "19200", k7E2},
        {IDC_MODE_VELTRIX, "", Rates({"38400", "19200"}), "19200", k8N1},
        {IDC_MODE_MORVANE, "", Rates({"38400"}), "38400", k8N1},
        {IDC_MODE_DRAVELL, "300", Rates({"38400"}), "300", k8N1},
        {IDC_MODE_OXQ, "", Rates({"19200"}), "300", k7E2},
    };
    WizardHarness h;
    ConnectAt(h, 9600);
    for (const Step& s : steps) {
        SCOPED_TRACE(s.button);
        if (!s.select.empty()) {
            ASSERT_TRUE(h.w.Select(IDC_BAUDRATE, s.select));
        }
        ASSERT_TRUE(h.w.Click(s.button));
        EXPECT_EQ(h.w.Items(IDC_BAUDRATE), s.items);
        EXPECT_EQ(h.w.SelectedText(IDC_BAUDRATE), s.selected);
        EXPECT_EQ(h.w.Text(IDC_LINE_FORMAT), s.lineFormat);
    }
    // The choice is handed over only when the step is left.
    h.w.Next();
    EXPECT_EQ(h.sheet.m_pInstrumentModePage->m_nMode, 3);
    EXPECT_EQ(h.sheet.m_pInstrumentModePage->m_strBaudRate, "300");
    EXPECT_EQ(h.sheet.GetSelectedTypeCode(), "+OQ");
}

TEST(InstrumentMode, IsReadOnceAndKeepsTheChoiceWhenComingBack) {
    WizardHarness h;
    ConnectAt(h, 9600);
    h.w.Click(IDC_MODE_MORVANE);
    h.w.Next();
    h.w.Back();
    h.w.Back();
    h.w.Next();
    ASSERT_EQ(h.w.ActiveIndex(), 1);

    EXPECT_EQ(h.instrument.Count("BA"), 1);
    EXPECT_EQ(CheckedMode(h), 1);
    EXPECT_EQ(h.w.SelectedText(IDC_BAUDRATE), "9600");
}

TEST(InstrumentMode, WithoutAKnownTypeNoModeIsSelectedAndTheCommonRatesAreOffered) {
    // Opened on step 2 directly, so no instrument has been identified.
    WizardHarness h("+MV", 1);
    h.Open();

    EXPECT_EQ(CheckedMode(h), -1);
    EXPECT_EQ(h.w.Items(IDC_BAUDRATE), kCommon);
    EXPECT_EQ(h.w.SelectedText(IDC_BAUDRATE), "9600");
    EXPECT_EQ(h.w.Text(IDC_LINE_FORMAT), "");
}

}  // namespace
}  // namespace wizard_test
