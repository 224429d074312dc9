#include <gtest/gtest.h>

#include <string>

#include "tests/testkit/ScriptedDevice.h"
#include "tests/testkit/VirtualTime.h"
#include "tests/testkit/Wire.h"

namespace {

using testkit_test::Hex;

struct FrameCase {
    std::string command;
    std::string withCR;  // hex of the whole frame
    std::string withoutCR;
};

class FrameWrite : public ::testing::TestWithParam<FrameCase> {
protected:
    testkit_test::VirtualTime time;
    testkit_test::ScriptedDevice device{time.clock};
};

TEST_P(FrameWrite, SendsOneFrameInOneWrite) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(device.WriteKelvaStringCR(c.command), TRUE);
    EXPECT_EQ(device.WriteKelvaStringNoCR(c.command), TRUE);
    ASSERT_EQ(device.Writes().size(), 2u);
    EXPECT_EQ(Hex(device.Writes()[0]), c.withCR);
    EXPECT_EQ(Hex(device.Writes()[1]), c.withoutCR);
    EXPECT_TRUE(time.clock.Pauses().empty());
}

// Checksum bytes equal to STX, ETX and CR go out unescaped.
INSTANTIATE_TEST_SUITE_P(Commands, FrameWrite,
                         ::testing::Values(FrameCase{"V", "02 56 03 57 0D", "02 56 03 57"},
                                           FrameCase{"RV0", "02 52 56 30 03 35 0D",
                                                     "02 52 56 30 03 35"},
                                           FrameCase{"", "02 03 01 0D", "02 03 01"},
                                           FrameCase{"12", "02 31 32 03 02 0D", "02 31 32 03 02"},
                                           FrameCase{"13", "02 31 33 03 03 0D", "02 31 33 03 03"},
                                           FrameCase{"1=", "02 31 3D 03 0D 0D", "02 31 3D 03 0D"},
                                           FrameCase{std::string("\x00\xFF", 2),
                                                     "02 00 FF 03 FE 0D", "02 00 FF 03 FE"}));

TEST(FrameWriteFailure, IsReportedByTheResultOnlyWithoutRetry) {
    testkit_test::VirtualTime time;
    testkit_test::ScriptedDevice device(time.clock);
    device.SetLastErrorText("before");
    device.SetWritesFail(true);
    EXPECT_EQ(device.WriteKelvaStringCR("V"), FALSE);
    EXPECT_EQ(device.WriteKelvaStringNoCR("V"), FALSE);
    EXPECT_EQ(device.FailedWrites(), 2);
    EXPECT_EQ(device.GetLastErrorText(), "before");
}

}  // namespace
