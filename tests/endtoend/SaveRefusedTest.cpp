// Finish when the instrument refuses to store its configuration: the wizard stays open on the
// last step, and Finish goes through once the instrument accepts.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "framework/Ids.h"
#include "resources/Resource.h"
#include "tests/testkit/Bench.h"
#include "tests/testkit/Screens.h"

namespace endtoend_test {

// The simulator harness and the screens' texts are shared with other test folders.
using namespace testkit_test;
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;

TEST(SaveRefused, KeepsTheWizardOpenAndASecondFinishStoresTheSettings) {
    Bench bench;
    const sim::Fault refuseSave{sim::FaultKind::Reply, "DB CNF WRITE", -1, "-", 0};
    sim::PtyServer* instrument =
        bench.StartInstrument(StateOf(sim::kModeMorvane, 9600), {refuseSave});
    ASSERT_NE(instrument, nullptr);
    bench.MakeSheet({instrument->SlavePath()});
    const sim::State before = instrument->Stored();

    const int result = bench.Run([&](framework::WizardDriver& w) {
        ASSERT_TRUE(NextTo(w, 2));
        ASSERT_TRUE(w.Select(IDC_BAUDRATE, "38400"));
        ASSERT_TRUE(NextTo(w, 3));
        ASSERT_TRUE(NextTo(w, 4));
        ASSERT_TRUE(NextTo(w, 5));

        w.Finish();

        EXPECT_FALSE(w.IsEnded());
        EXPECT_EQ(w.Caption(), StepCaption(5));
        EXPECT_THAT(bench.Boxes(), ElementsAre("Instrument changed to +MV, Version: V 3.10\n"
                                               "Measurement mode set successfully\n"
                                               "Default for plate movement set successfully\n",
                                               StartsWith("Error saving instrument settings!\n"
                                                          "The instrument answered \"")));
        EXPECT_EQ(Describe(instrument->Stored()), Describe(before));
        // The instrument already talks at the new speed, and the wizard followed it there.
        EXPECT_EQ(instrument->Current().baud, 38400);

        instrument->ClearFaults();
        bench.ClearBoxes();
        const std::size_t heard = Commands(*instrument).size();
        w.Finish();

        const std::vector<std::string> commands = Commands(*instrument);
        EXPECT_THAT(
            std::vector(commands.begin() + static_cast<std::ptrdiff_t>(heard), commands.end()),
            ElementsAre("MM0", "V", "DB PLT SET 2 2 3 3", "DB CNF WRITE"))
            << Traffic(*instrument);
        EXPECT_THAT(bench.Boxes(), ElementsAre("Measurement mode set successfully\n"
                                               "Default for plate movement set successfully\n"));
    });

    EXPECT_EQ(result, framework::IDOK);
    sim::State expected = before;
    expected.baud = 38400;
    EXPECT_EQ(Describe(instrument->Stored()), Describe(expected));
}

}  // namespace
}  // namespace endtoend_test
