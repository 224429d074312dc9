// Find any over real ports: a node that does not exist, a port held by another program, and an
// OXQ instrument at 2400 baud, whose 2 stop bits answer only the second line settings tried.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "device/linux/ComPortDeviceLinux.h"
#include "framework/Ids.h"
#include "resources/Resource.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Screens.h"

namespace endtoend_test {

// The simulator harness and the screens' texts are shared with other test folders.
using namespace testkit_test;
namespace {

using ::testing::IsEmpty;

// Nine silent attempts on the third port at most a few seconds each, and fast failures on the
// other two: the search must stay well inside this.
constexpr auto kSearchLimit = std::chrono::seconds(30);

TEST(FindAny, FindsTheInstrumentAt2400OnTheThirdPortAndNextIdentifiesItAgain) {
    Bench bench;
    // A native instrument that would answer at once at the first rate tried, were its port free.
    sim::PtyServer* taken = bench.StartInstrument(StateOf(sim::kModeVeltrix, 9600));
    sim::PtyServer* oxq = bench.StartInstrument(StateOf(sim::kModeOxq, 2400));
    ASSERT_NE(taken, nullptr);
    ASSERT_NE(oxq, nullptr);
    bench.MakeSheet({kMissingNode, taken->SlavePath(), oxq->SlavePath()});
    ComPortDeviceLinux otherProgram;
    ASSERT_EQ(otherProgram.InitSerial(2), TRUE) << otherProgram.GetLastErrorText();

    const int result = bench.Run([&](framework::WizardDriver& w) {
        ASSERT_GE(w.Items(IDC_PORT).size(), 3u) << ::testing::PrintToString(w.Items(IDC_PORT));
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(w.Click(IDC_FIND_ANY));
        EXPECT_LT(std::chrono::steady_clock::now() - start, kSearchLimit);

        EXPECT_EQ(w.Selection(IDC_PORT), 2);
        EXPECT_EQ(w.SelectedText(IDC_BAUDRATE), "2400");
        EXPECT_THAT(bench.Boxes(), IsEmpty());
        EXPECT_EQ(CountOf(*oxq, "!"), 1) << Traffic(*oxq);
        EXPECT_THAT(taken->Traffic().Entries(), IsEmpty()) << Traffic(*taken);
        EXPECT_EQ(w.ActiveIndex(), 0);

        // Next connects again with what the boxes show.
        ASSERT_TRUE(NextTo(w, 2)) << ::testing::PrintToString(bench.Boxes());
        EXPECT_EQ(CountOf(*oxq, "!"), 2) << Traffic(*oxq);
        EXPECT_EQ(bench.Sheet().GetInstrumentType(), "+OQ");
        EXPECT_TRUE(w.IsChecked(IDC_MODE_OXQ));
        EXPECT_EQ(w.SelectedText(IDC_BAUDRATE), "2400");
        EXPECT_EQ(bench.Sheet().GetDevice()->GetStopBits(), 2);
        w.Cancel();
    });

    EXPECT_EQ(result, framework::IDCANCEL);
    EXPECT_THAT(bench.Boxes(), IsEmpty());
}

}  // namespace
}  // namespace endtoend_test
