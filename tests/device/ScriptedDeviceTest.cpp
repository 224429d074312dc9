#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/testkit/ScriptedDevice.h"
#include "tests/testkit/VirtualTime.h"
#include "tests/testkit/Wire.h"

// The double's own contract, on which the protocol, engine and wizard tests rely.
namespace {

class Scripted : public ::testing::Test {
protected:
    testkit_test::VirtualTime time;
    testkit_test::ScriptedDevice device{time.clock};
};

TEST_F(Scripted, ReadsStopAtTerminatorOrAtTheEndOfAChunk) {
    device.SetTerminator('\r');
    device.Arrive("ab\rc");
    device.Arrive("de");
    std::string text;
    EXPECT_EQ(device.ReadString(text), 3);
    EXPECT_EQ(text, "ab\r");
    EXPECT_EQ(time.clock.NowMs(), 0);
    EXPECT_EQ(device.ReadString(text), 1);  // then silence
    EXPECT_EQ(text, "c");
    EXPECT_EQ(time.clock.NowMs(), 600);
    unsigned char buffer[4] = {};
    EXPECT_EQ(device.ReadBytes(buffer, 4), 2);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 2), "de");
    EXPECT_EQ(time.clock.NowMs(), 1200);
    EXPECT_TRUE(time.clock.Pauses().empty());
}

TEST_F(Scripted, PurgeDropsArrivedBytesButNotRepliesToComeAfterAWrite) {
    device.Arrive("old");
    device.ReplyAfterWrite({"first", "second"});
    device.ReplyAfterWrite({});
    device.ReplyAfterWrite({"third"});
    EXPECT_EQ(device.GetInputCount(), 3);
    device.PurgeInput();
    EXPECT_EQ(device.Unread(), "");
    for (int i = 0; i < 3; ++i)
        device.WriteString("w" + std::to_string(i));
    EXPECT_EQ(device.Unread(), "firstsecondthird");
    EXPECT_EQ(device.Writes(), (std::vector<std::string>{"w0", "w1", "w2"}));
}

TEST_F(Scripted, ResponderPlaysAnInstrument) {
    device.SetResponder([](testkit_test::ScriptedDevice& d, const std::string& written) {
        d.Arrive(testkit_test::ShortFrame(written == testkit_test::ShortFrame("?") ? "S" : "+"));
    });
    device.SetTerminator('\r');
    std::string reply;
    device.WriteString(testkit_test::ShortFrame("?"));
    device.ReadString(reply);
    EXPECT_EQ(reply, "\x02S\r");
    device.WriteString(testkit_test::ShortFrame("H"));
    device.ReadString(reply);
    EXPECT_EQ(reply, "\x02+\r");
}

TEST_F(Scripted, OpeningAppliesTheLineAndFailsAsConfigured) {
    device.SetPorts({"ttyS0  ( COM1 )", "ttyUSB0  ( COM2 )"});
    EXPECT_EQ(device.GetPortCount(), 2);
    EXPECT_EQ(device.GetPortDeviceName(2), "COM2:");
    device.SetParity('E');
    EXPECT_EQ(device.InitSerial(2), TRUE);
    EXPECT_TRUE(device.IsOpen());
    EXPECT_EQ(device.GetPortName(0), "ttyUSB0  ( COM2 )");
    EXPECT_EQ(device.AppliedLines(), (std::vector<testkit_test::LineSettings>{{9600, 'E', 8, 1}}));
    device.SetOpenResult(FALSE, "\n --- ERR: busy");
    EXPECT_EQ(device.InitSerial(1), FALSE);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.GetLastErrorText(), "\n --- ERR: busy");
    EXPECT_EQ(device.OpenCalls(), (std::vector<int>{2, 1}));
}

}  // namespace
