#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "device/SerialDevice.h"
#include "tests/testkit/ScriptedDevice.h"
#include "tests/testkit/VirtualTime.h"
#include "tests/testkit/Wire.h"

namespace {

TEST(SerialDevice, NewDeviceHasDefaultSettings) {
    SerialDevice device;
    EXPECT_EQ(device.GetBaudRate(), 9600);
    EXPECT_EQ(device.GetParity(), 'N');
    EXPECT_EQ(device.GetDataBits(), 8);
    EXPECT_EQ(device.GetStopBits(), 1);
    EXPECT_EQ(device.GetTimeout(), 600);
    EXPECT_EQ(device.GetTerminator(), 0x03);
    EXPECT_EQ(device.GetPortNumber(), 0);
    EXPECT_EQ(device.GetLastErrorText(), "");
}

TEST(SerialDevice, BaseInitSerialFailsAndKeepsAPositivePortNumber) {
    SerialDevice device;
    EXPECT_EQ(device.InitSerial(3), FALSE);
    EXPECT_EQ(device.GetPortNumber(), 3);
    EXPECT_EQ(device.GetLastErrorText(), "\nInitSerial must be implemented by subclass!");
    EXPECT_EQ(device.InitSerial(0), FALSE);
    EXPECT_EQ(device.GetPortNumber(), 3);
}

class QueueSizeRecorder : public SerialDevice {
public:
    BOOL InitSerial(int nPort, int nReceiveQueue, int nSendQueue) override {
        calls.push_back({nPort, nReceiveQueue, nSendQueue});
        return TRUE;
    }
    using SerialDevice::InitSerial;
    std::vector<std::array<int, 3>> calls;
};

TEST(SerialDevice, OneArgumentInitSerialUsesDefaultQueueSizes) {
    QueueSizeRecorder device;
    EXPECT_EQ(device.InitSerial(2), TRUE);
    EXPECT_EQ(device.calls, (std::vector<std::array<int, 3>>{{2, 65534, 4096}}));
}

TEST(SerialDevice, BaseTransportDoesNothing) {
    SerialDevice device;
    std::string text = "old";
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(device.GetPortCount(), -1);
    EXPECT_EQ(device.GetPortName(1), "");
    EXPECT_EQ(device.GetPortDeviceName(1), "");
    EXPECT_EQ(device.CloseSerial(), TRUE);
    EXPECT_EQ(device.ChangeBaudRate(), TRUE);
    EXPECT_EQ(device.WriteString("??"), FALSE);
    EXPECT_EQ(device.PurgeInput(), FALSE);
    EXPECT_EQ(device.GetInputCount(), 0);
}

TEST(SerialDevice, BaseReadBytesClearsFirstAndLastByteOnly) {
    SerialDevice device;
    std::array<unsigned char, 6> buffer;
    buffer.fill(0xAA);
    EXPECT_EQ(device.ReadBytes(buffer.data() + 1, 4), 0);
    EXPECT_EQ(buffer, (std::array<unsigned char, 6>{0xAA, 0, 0xAA, 0xAA, 0, 0xAA}));
    // Nothing to clear in an empty buffer: the bytes around it stay untouched.
    for (int count : {0, -1, -100}) {
        buffer.fill(0xAA);
        EXPECT_EQ(device.ReadBytes(buffer.data() + 3, count), 0);
        EXPECT_EQ(buffer, (std::array<unsigned char, 6>{0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
    }
    EXPECT_EQ(device.ReadBytes(nullptr, 4), 0);
}

TEST(SerialDevice, GetBaudRateListNamesEveryRate) {
    EXPECT_EQ(SerialDevice().GetBaudRateList(),
              "110 300 600 1200 2400 4800 9600 14400 19200 38400 56000 57600 115200 128000 "
              "256000");
}

class LabelledDevice : public SerialDevice {
public:
    std::string GetPortName(int nPort) override {
        askedFor = nPort;
        return label;
    }
    std::string label;
    int askedFor = -1;
};

TEST(SerialDevice, DeviceNameComesFromTheLabel) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Serial0  ( COM1 )", "COM1:"},
        {"/dev/ttyUSB0  ( COM12 )", "COM12:"},
        {"COM5", "COM5:"},
        {"COM5:", "COM5:"},
        {" \t COM2 \r\n", "COM2:"},
        {"", ""},
        {"a (b) (COM3)", "COM3:"},  // the last parentheses count
        {"x (COM4", "COM4:"},       // no closing parenthesis
        {"COM6 (", "COM6:"},        // nothing after the last "("
        {"COM7) rest", "COM7:"},    // no "(": up to the first ")"
        {"name ( )", ""},           // blank inside: empty, no colon
        {"(COM1 (COM2))", "COM2:"},
    };
    LabelledDevice device;
    for (const auto& [label, name] : cases) {
        device.label = label;
        EXPECT_EQ(device.GetPortDeviceName(4), name) << "label '" << label << "'";
        EXPECT_EQ(device.askedFor, 4);
    }
}

TEST(SerialDevice, WriteStringSendsTheBytesAsTheyAreInOneWrite) {
    testkit_test::VirtualTime time;
    testkit_test::ScriptedDevice device(time.clock);
    EXPECT_EQ(device.WriteString("??"), TRUE);
    EXPECT_EQ(device.WriteString(std::string("\x02?\r\0", 4)), TRUE);
    ASSERT_EQ(device.Writes().size(), 2u);
    EXPECT_EQ(testkit_test::Hex(device.Writes()[0]), "3F 3F");
    EXPECT_EQ(testkit_test::Hex(device.Writes()[1]), "02 3F 0D 00");
}

TEST(SerialDevice, CopyToBufferWritesTextAndZero) {
    SerialDevice device;
    std::array<unsigned char, 6> buffer;
    buffer.fill(0xAA);
    EXPECT_EQ(device.CopyToBuffer(buffer.data(), std::string("a\0c", 3)), 3);
    EXPECT_EQ(buffer, (std::array<unsigned char, 6>{'a', 0, 'c', 0, 0xAA, 0xAA}));
    EXPECT_EQ(device.CopyToBuffer(buffer.data(), ""), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(device.CopyToBuffer(nullptr, "abc"), 0);
}

}  // namespace
