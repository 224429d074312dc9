#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/Ids.h"
#include "resources/Resource.h"
#include "tests/testkit/Wire.h"
#include "tests/wizard/WizardHarness.h"

namespace wizard_test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// What follows a connect failure once the port opened, and the start of Find any's failure.
const std::string kAdvice =
    "\nCheck the cable and the instrument's power, then try another baud rate or Find any.";
const std::string kNothingAnswered = "No instrument answered on any port at any baud rate.\n";
const std::vector<std::string> kRates = {"38400", "19200", "9600", "4800",
                                         "2400",  "1200",  "600",  "300"};

// The (port, baud) of every connect attempt: each opens the port at 8N1.
std::vector<std::pair<int, int>> Attempts(const testkit_test::ScriptedDevice& device) {
    std::vector<std::pair<int, int>> attempts;
    std::size_t line = 0;
    for (const int port : device.OpenCalls()) {
        while (line < device.AppliedLines().size() && device.AppliedLines()[line].dataBits != 8) {
            ++line;
        }
        if (line < device.AppliedLines().size()) {
            attempts.emplace_back(port, device.AppliedLines()[line++].baudRate);
        }
    }
    return attempts;
}

TEST(ConnectStep, ShowsEveryPortEvenWithoutALabelAndTheRatesWith9600Selected) {
    WizardHarness h;
    h.Open({"/dev/ttyUSB0  ( COM1 )", "", "/dev/ttyS4  ( COM3 )"});

    EXPECT_EQ(h.w.Caption(), "Veltrix Instrument Settings V 1.05  -  Step 1 of 5");
    EXPECT_THAT(h.w.Items(IDC_PORT),
                ElementsAre("/dev/ttyUSB0  ( COM1 )", "", "/dev/ttyS4  ( COM3 )"));
    EXPECT_EQ(h.w.Selection(IDC_PORT), 0);
    EXPECT_EQ(h.w.Items(IDC_BAUDRATE), kRates);
    EXPECT_EQ(h.w.SelectedText(IDC_BAUDRATE), "9600");
    EXPECT_FALSE(h.w.IsEnabled(framework::ID_WIZBACK));
    EXPECT_TRUE(h.w.IsVisible(framework::ID_WIZNEXT));
    EXPECT_FALSE(h.w.IsVisible(framework::ID_WIZFINISH));
    EXPECT_THAT(h.instrument.Commands(), IsEmpty());
}

TEST(ConnectStep, ThePortChosenIsItsItemIndexPlusOne) {
    WizardHarness h;
    h.ListenAt(2, 2400);
    h.Open({"A", "", "C"});
    ASSERT_TRUE(h.w.SelectIndex(IDC_PORT, 1));
    ASSERT_TRUE(h.w.Select(IDC_BAUDRATE, "2400"));

    h.w.Next();

    EXPECT_EQ(h.w.ActiveIndex(), 1);
    EXPECT_THAT(h.device->OpenCalls(), ElementsAre(2));
    EXPECT_EQ(h.device->GetBaudRate(), 2400);
}

struct IdentifyCase {
    std::string code;
    testkit_test::LineSettings line;
    int typeQueries;
    char terminator;
};

void PrintTo(const IdentifyCase& c, std::ostream* os) {
    *os << c.code;
}

class ConnectIdentifies : public ::testing::TestWithParam<IdentifyCase> {};

TEST_P(ConnectIdentifies, StoresTheCodeAndKeepsTheLineThatWorked) {
    const IdentifyCase& c = GetParam();
    WizardHarness h(c.code);
    h.instrument.ListenOn(1, c.line);
    h.Open();

    h.w.Next();

    EXPECT_THAT(h.Boxes(), IsEmpty());
    EXPECT_EQ(h.w.Caption(), "Veltrix Instrument Settings V 1.05  -  Step 2 of 5");
    EXPECT_EQ(h.sheet.GetInstrumentType(), c.code);
    EXPECT_EQ(h.instrument.TypeQueries(), 1);
    EXPECT_EQ(h.device->TerminatorChanges().back(), c.terminator);
    EXPECT_EQ(h.device->AppliedLines().size(), static_cast<std::size_t>(c.typeQueries));
    EXPECT_EQ(h.device->AppliedLines().back(), c.line);
    EXPECT_TRUE(h.device->IsOpen());
}

INSTANTIATE_TEST_SUITE_P(Codes, ConnectIdentifies,
                         ::testing::Values(IdentifyCase{"+VT", {9600, 'N', 8, 1}, 1, '\x03'},
                                           IdentifyCase{"+MV", {9600, 'N', 8, 1}, 1, '\r'},
                                           IdentifyCase{"+DL", {9600, 'N', 8, 1}, 1, '\r'},
                                           // Silent at 8N1: the second query at 7E2 finds it.
                                           IdentifyCase{"+OQ", {9600, 'E', 7, 2}, 2, '\r'}));

TEST(ConnectStep, AnswersThatAreNoKnownCodeKeepTheStepWithThePlainMessage) {
    for (const std::string answer : {"+vt", "+VT ", "VT", "+XX"}) {
        SCOPED_TRACE(answer);
        WizardHarness h;
        h.instrument.Answer("!", answer);
        h.instrument.ListenOn(1, std::nullopt);
        h.Open();

        h.w.Next();

        EXPECT_EQ(h.w.ActiveIndex(), 0);
        EXPECT_THAT(h.Boxes(), ElementsAre("Could not connect instrument!" + kAdvice));
        // Asked at 8N1 and once more at 7E2.
        EXPECT_EQ(h.instrument.TypeQueries(), 2);
        EXPECT_EQ(h.device->AppliedLines().back(), (testkit_test::LineSettings{9600, 'E', 7, 2}));
        EXPECT_EQ(h.sheet.GetInstrumentType(), "");
    }
}

TEST(ConnectStep, APortThatCannotBeOpenedShowsTheDeviceErrorAndSendsNothing) {
    WizardHarness h;
    h.Open();
    h.device->SetOpenResult(FALSE, "\n --- ERR: CreateFile");

    h.w.Next();

    EXPECT_THAT(
        h.Boxes(),
        ElementsAre("Could not connect instrument!\nCommPort Error: \n --- ERR: CreateFile"));
    EXPECT_THAT(h.device->Writes(), IsEmpty());
    EXPECT_EQ(h.w.ActiveIndex(), 0);
}

TEST(ConnectStep, ASilentLineShowsWhatTheLastTypeQueryMet) {
    WizardHarness h;
    h.ListenAt(3, 9600);
    h.Open();

    h.w.Next();

    EXPECT_THAT(h.Boxes(), ElementsAre("Could not connect instrument!\nCommPort Error: "
                                       "ERR: -1 AskForInstrumentType - nothing read" +
                                       kAdvice));
    EXPECT_EQ(h.w.ActiveIndex(), 0);
}

TEST(ConnectStep, AnEmptyPortListLeavesWithPortZeroAndFindAnySearchesNothing) {
    WizardHarness h;
    h.device->SetOpenResult(FALSE, "\n --- ERR: no port");
    h.Open({});
    EXPECT_THAT(h.w.Items(IDC_PORT), IsEmpty());

    // Find any tries the held selection (index 0 since the step opened) and has no list.
    h.w.Click(IDC_FIND_ANY);
    EXPECT_THAT(h.device->OpenCalls(), ElementsAre(1));
    EXPECT_THAT(h.Boxes(), ElementsAre(kNothingAnswered + "Tried 0 ports at 8 baud rates."));
    h.host.ClearBoxes();

    // Leaving takes the empty box over: no item is index -1, port 0.
    h.w.Next();
    EXPECT_THAT(h.device->OpenCalls(), ElementsAre(1, 0));
    EXPECT_THAT(h.Boxes(),
                ElementsAre("Could not connect instrument!\nCommPort Error: \n --- ERR: no port"));
}

TEST(ConnectFindAny, SearchesEveryPortAtEveryRateInListOrderAndShowsTheFind) {
    WizardHarness h;
    h.ListenAt(3, 2400);
    h.Open();

    ASSERT_TRUE(h.w.Click(IDC_FIND_ANY));

    // The held selection on the sheet's device; then each port on a device of its own, at
    // every rate in list order until it answers.
    std::vector<std::pair<int, int>> expected;
    for (int port = 1; port <= 2; ++port) {
        for (const std::string& rate : kRates)
            expected.emplace_back(port, std::stoi(rate));
    }
    for (const int rate : {38400, 19200, 9600, 4800, 2400})
        expected.emplace_back(3, rate);
    EXPECT_EQ(h.SearchAttempts(), expected);
    // The sheet's device takes the port over with the line that answered, asking nothing.
    EXPECT_THAT(Attempts(*h.device), ElementsAre(std::make_pair(1, 9600), std::make_pair(3, 2400)));
    EXPECT_EQ(
        std::count(h.device->Writes().begin(), h.device->Writes().end(), testkit_test::kTypeQuery),
        2);
    EXPECT_EQ(h.device->TerminatorChanges().back(), '\x03');
    EXPECT_EQ(h.sheet.GetInstrumentType(), "+VT");
    EXPECT_EQ(h.w.Selection(IDC_PORT), 2);
    EXPECT_EQ(h.w.SelectedText(IDC_BAUDRATE), "2400");
    EXPECT_EQ(h.w.ActiveIndex(), 0);
    EXPECT_THAT(h.Boxes(), IsEmpty());
    EXPECT_EQ(h.host.WaitCursorBegins(), 1);
    EXPECT_FALSE(h.host.IsCursorBusy());
    // What was found is said, and Enter goes on from here.
    ASSERT_EQ(h.host.Notes().size(), 1u);
    EXPECT_THAT(h.host.Notes()[0], ::testing::StartsWith("Found Veltrix (+VT) on "));
    EXPECT_THAT(h.host.Notes()[0], ::testing::EndsWith(" at 2400 baud"));
    EXPECT_EQ(h.sheet.GetFocusId(), framework::ID_WIZNEXT);

    // Next connects again with what the boxes show.
    h.w.Next();
    EXPECT_EQ(h.w.ActiveIndex(), 1);
    EXPECT_EQ(h.device->OpenCalls().back(), 3);
    EXPECT_EQ(h.instrument.TypeQueries(), 1);
}

TEST(ConnectFindAny, TheFirstPortInTheListThatAnswersWinsWhenSeveralAnswer) {
    WizardHarness h;
    h.Open();
    // Not at the held 9600 on port 1, but at 38400 on every port.
    h.instrument.ListenOn(std::nullopt, testkit_test::LineSettings{38400, 'N', 8, 1});

    ASSERT_TRUE(h.w.Click(IDC_FIND_ANY));

    EXPECT_EQ(h.w.Selection(IDC_PORT), 0);
    EXPECT_EQ(h.w.SelectedText(IDC_BAUDRATE), "38400");
    EXPECT_EQ(h.device->OpenCalls().back(), 1);
    ASSERT_FALSE(h.SearchAttempts().empty());
    EXPECT_EQ(h.SearchAttempts().front(), std::make_pair(1, 38400));
}

TEST(ConnectFindAny, AWorkingSelectionTakesOneAttemptAndChangesNothingOnScreen) {
    WizardHarness h;
    h.Open();

    h.w.Click(IDC_FIND_ANY);

    EXPECT_THAT(h.device->OpenCalls(), ElementsAre(1));
    EXPECT_TRUE(h.searchLines.empty());
    EXPECT_EQ(h.w.Selection(IDC_PORT), 0);
    EXPECT_EQ(h.w.SelectedText(IDC_BAUDRATE), "9600");
    EXPECT_EQ(h.sheet.GetInstrumentType(), "+VT");
}

TEST(ConnectFindAny, WithoutSuccessSaysSoTriesTheHeldSelectionTwiceAndKeepsTheScreen) {
    WizardHarness h;
    h.ListenAt(9, 9600);
    h.Open({"A", "B"});
    // Chosen on screen but not yet taken over: the search starts from the held selection.
    ASSERT_TRUE(h.w.SelectIndex(IDC_PORT, 1));
    ASSERT_TRUE(h.w.Select(IDC_BAUDRATE, "300"));

    h.w.Click(IDC_FIND_ANY);

    EXPECT_THAT(Attempts(*h.device), ElementsAre(std::make_pair(1, 9600)));
    const auto attempts = h.SearchAttempts();
    ASSERT_EQ(attempts.size(), 2u * kRates.size());
    EXPECT_EQ(std::count(attempts.begin(), attempts.end(), std::make_pair(1, 9600)), 1);
    EXPECT_THAT(h.Boxes(), ElementsAre(kNothingAnswered + "Tried 2 ports at 8 baud rates."));
    EXPECT_EQ(h.w.Selection(IDC_PORT), 1);
    EXPECT_EQ(h.w.SelectedText(IDC_BAUDRATE), "300");
    EXPECT_FALSE(h.host.IsCursorBusy());
    EXPECT_EQ(h.sheet.GetInstrumentType(), "");
}

TEST(ConnectStep, BackOnStepTwoAndNextAgainConnectsAgain) {
    WizardHarness h;
    ASSERT_TRUE(h.OpenAt(1));
    EXPECT_TRUE(h.w.IsEnabled(framework::ID_WIZBACK));

    h.w.Back();
    EXPECT_EQ(h.w.ActiveIndex(), 0);
    h.w.Next();

    EXPECT_EQ(h.w.ActiveIndex(), 1);
    EXPECT_THAT(h.device->OpenCalls(), ElementsAre(1, 1));
}

}  // namespace
}  // namespace wizard_test
