#include <gtest/gtest.h>

#include <termios.h>

#include <cerrno>
#include <string>
#include <vector>

#include "device/linux/ComPortDeviceLinux.h"
#include "tests/testkit/PortSourceFake.h"
#include "tests/testkit/SerialOsLinuxFake.h"

namespace {

constexpr char kNode[] = "/dev/ttyUSB0";

// An open port on the fake system, so that every termios flag can be inspected.
class TermiosSettings : public ::testing::Test {
protected:
    TermiosSettings() { os.AddNode(kNode); }
    void Open() { ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText(); }
    const termios& Port() { return os.Settings(kNode); }
    bool Has(tcflag_t flags, tcflag_t bits) { return (flags & bits) == bits; }

    testkit_test::SerialOsLinuxFake os;
    testkit_test::PortSourceFake source{{{kNode, "COM1"}}};
    device::ScopedPortSource scope{source};
    ComPortDeviceLinux device{os};
};

TEST_F(TermiosSettings, EightNoneOneInRawMode) {
    Open();
    const termios& t = Port();
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_FALSE(t.c_cflag & (PARENB | PARODD | CSTOPB));
    EXPECT_TRUE(Has(t.c_cflag, CLOCAL | CREAD));
    EXPECT_EQ(cfgetispeed(&t), static_cast<speed_t>(B9600));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B9600));
    // CR stays CR, ETX is no interrupt, XON/XOFF bytes are data, nothing is echoed or added.
    EXPECT_FALSE(t.c_iflag &
                 (ICRNL | INLCR | IGNCR | IXON | IXOFF | IXANY | ISTRIP | PARMRK | BRKINT));
    EXPECT_FALSE(t.c_oflag & OPOST);
    EXPECT_FALSE(t.c_lflag & (ICANON | ECHO | ECHONL | ISIG | IEXTEN));
    EXPECT_EQ(t.c_cc[VMIN], 0);
    EXPECT_EQ(t.c_cc[VTIME], 0);
}

TEST_F(TermiosSettings, SevenEvenTwoKeepsFlowControlAsThePortHadIt) {
    device.SetBaudRate(4800);
    device.SetDataBits(7);
    device.SetParity('E');
    device.SetStopBits(2);
    Open();
    const termios& t = Port();
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS7));
    EXPECT_TRUE(Has(t.c_cflag, PARENB | CSTOPB | CRTSCTS));
    EXPECT_FALSE(t.c_cflag & PARODD);
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B4800));

    // A port without hardware flow control keeps it off.
    device.CloseSerial();
    os.Settings(kNode).c_cflag &= ~CRTSCTS;
    Open();
    EXPECT_FALSE(Port().c_cflag & CRTSCTS);
}

TEST_F(TermiosSettings, ParityAndStopBitsOutsideTheKnownValuesLeaveThePortsOwn) {
    struct Case {
        char parity;
        int stopBits;
        tcflag_t before;
        tcflag_t after;
    };
    const tcflag_t bits = PARENB | PARODD | CMSPAR | CSTOPB;
    const std::vector<Case> cases = {
        {'O', 1, CSTOPB, PARENB | PARODD},
        {'E', 2, PARENB | PARODD | CMSPAR, PARENB | CSTOPB},
        {'N', 1, PARENB | PARODD | CMSPAR | CSTOPB, 0},
        {'X', 3, PARENB | PARODD | CSTOPB, PARENB | PARODD | CSTOPB},
        {'M', 0, PARENB, PARENB},
        {'e', 2, 0, CSTOPB},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.parity) + std::to_string(c.stopBits));
        device.CloseSerial();
        termios& port = os.Settings(kNode);
        port.c_cflag = (port.c_cflag & ~bits) | c.before;
        device.SetParity(c.parity);
        device.SetStopBits(c.stopBits);
        Open();
        EXPECT_EQ(Port().c_cflag & bits, c.after);
    }
}

TEST_F(TermiosSettings, RatesWithoutAConstantGoThroughTheCustomRate) {
    const std::vector<std::pair<int, speed_t>> constants = {{110, B110},     {300, B300},
                                                            {2400, B2400},   {38400, B38400},
                                                            {57600, B57600}, {115200, B115200}};
    Open();
    for (const auto& [rate, constant] : constants) {
        SCOPED_TRACE(rate);
        device.SetBaudRate(rate);
        EXPECT_EQ(device.ChangeBaudRate(), TRUE);
        EXPECT_EQ(cfgetospeed(&Port()), constant);
        EXPECT_EQ(os.Calls().back(), "set attributes");
    }
    for (int rate : {14400, 56000, 128000, 256000}) {
        SCOPED_TRACE(rate);
        device.SetBaudRate(rate);
        EXPECT_EQ(device.ChangeBaudRate(), TRUE);
        EXPECT_EQ(os.CustomBaudRate(), rate);
        EXPECT_EQ(os.Calls().back(), "custom baud rate");
    }
}

TEST_F(TermiosSettings, SettingsThatCannotBeAppliedFailWithoutTouchingThePort) {
    struct Case {
        const char* what;
        int baudRate;
        int dataBits;
    };
    const std::vector<Case> cases = {{"rate 0 would hang up", 0, 8},
                                     {"negative rate", -9600, 8},
                                     {"nine bits", 9600, 9},
                                     {"four bits", 9600, 4},
                                     {"no bits", 9600, 0}};
    Open();
    const termios before = Port();
    const std::size_t calls = os.Calls().size();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        device.SetBaudRate(c.baudRate);
        device.SetDataBits(c.dataBits);
        EXPECT_EQ(device.ChangeBaudRate(), FALSE);
        EXPECT_EQ(device.GetLastErrorText(), "\nChangeBaudRate() --- ERR: SetCommState");
    }
    EXPECT_EQ(os.Calls().size(), calls);
    EXPECT_EQ(Port().c_cflag, before.c_cflag);
}

TEST_F(TermiosSettings, ChangeBaudRateReportsWhichStepFailed) {
    Open();
    device.SetLastErrorText("stale");
    EXPECT_EQ(device.ChangeBaudRate(), TRUE);
    EXPECT_EQ(device.GetLastErrorText(), "stale");  // success writes no text

    os.setAttributesError = -EINVAL;
    EXPECT_EQ(device.ChangeBaudRate(), FALSE);
    EXPECT_EQ(device.GetLastErrorText(), "\nChangeBaudRate() --- ERR: SetCommState");

    os.setAttributesError = 0;
    os.customBaudError = -EINVAL;
    device.SetBaudRate(14400);
    EXPECT_EQ(device.ChangeBaudRate(), FALSE);
    EXPECT_EQ(device.GetLastErrorText(), "\nChangeBaudRate() --- ERR: SetCommState");

    os.getAttributesError = -EIO;
    EXPECT_EQ(device.ChangeBaudRate(), FALSE);
    EXPECT_EQ(device.GetLastErrorText(), "\nChangeBaudRate() --- ERR: GetCommState");
}

}  // namespace
