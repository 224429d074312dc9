// The Windows serial port through a stand-in for Windows' serial calls: the device path, the
// line settings on top of the block the port reports, the time-outs, the failure texts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/PortSource.h"
#include "tests/testkit/PortSourceFake.h"
#include "tests/windows/SerialOsWindowsFake.h"

namespace {

using windows_test::FakePort;

const std::string kTryPort3 = "\nTry InitSerial on Port Serial2  ( COM3 )";
// The documented bounds of reading a line: 1024 bytes, or 30 s after the first byte.
constexpr int kLineBytes = 1024;
constexpr int kLineMs = 30000;

TEST(ComPortWindows, OpensTheDevicePathAndSetsThePortUp) {
    FakePort port;
    ComPortDevice& device = *port.device;
    ASSERT_EQ(device.GetPortCount(), 3);
    port.os.input = "stale";
    ASSERT_EQ(device.InitSerial(3, 2000, 300), TRUE) << device.GetLastErrorText();

    EXPECT_EQ(port.os.openedPath, "\\\\.\\COM3");
    EXPECT_EQ(device.GetPortNumber(), 3);
    EXPECT_EQ(device.GetLastErrorText(), "");
    // Received characters first; the event character joins with the line settings.
    EXPECT_EQ(port.os.masksSet, (std::vector<DWORD>{EV_RXCHAR, EV_RXCHAR | EV_RXFLAG}));
    EXPECT_EQ(port.os.receiveQueue, 2000u);
    EXPECT_EQ(port.os.sendQueue, 300u);
    // Both queues start empty.
    EXPECT_EQ(port.os.purges,
              (std::vector<DWORD>{PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR}));
    EXPECT_EQ(device.GetInputCount(), 0);

    // The one-argument open asks for the standard queue sizes; it closes the port first.
    ASSERT_EQ(device.InitSerial(1), TRUE);
    EXPECT_EQ(port.os.openedPath, "\\\\.\\COM1");
    EXPECT_EQ(port.os.receiveQueue, 65534u);
    EXPECT_EQ(port.os.sendQueue, 4096u);
    EXPECT_EQ(port.os.closes, 1);
    device.CloseSerial();
    EXPECT_EQ(port.os.closes, 2);
}

TEST(ComPortWindows, EachFailedStepOfTheOpenIsNamedAndClosesThePort) {
    struct Case {
        const char* name;
        int port;
        void (*fail)(windows_test::SerialOsWindowsFake&);
        std::string text;
    };
    const std::vector<Case> cases = {
        {"port 0", 0, [](auto&) {}, "\nTry InitSerial on Port \n --- ERR: wrong PortNumber"},
        {"port 2 without a row", 2, [](auto&) {},
         "\nTry InitSerial on Port \n --- ERR: CreateFile (Port doesn't exist or is used by "
         "another application or by mouse)GetLastError() returned 2"},
        {"port above the count", 4, [](auto&) {},
         "\nTry InitSerial on Port \n --- ERR: wrong PortNumber"},
        {"event mask", 3, [](auto& os) { os.setMaskFails = true; },
         kTryPort3 + "\n --- ERR: SetCommMask"},
        {"port state", 3, [](auto& os) { os.getStateFails = true; },
         kTryPort3 + "\n --- ERR: ChangeBaudRate"},
        {"line settings", 3, [](auto& os) { os.setStateFails = true; },
         kTryPort3 + "\n --- ERR: ChangeBaudRate"},
        {"queues", 3, [](auto& os) { os.setupFails = true; },
         kTryPort3 + "\n --- ERR: SetCommMask or SetupComm or SetCommState"},
    };
    for (const Case& c : cases) {
        FakePort port;
        c.fail(port.os);
        // Port 2 has no row: its device name is empty, so the open of "\\.\" fails.
        if (c.port == 2) port.os.openError = ERROR_FILE_NOT_FOUND;
        EXPECT_EQ(port.device->InitSerial(c.port), FALSE) << c.name;
        EXPECT_EQ(port.device->GetLastErrorText().substr(0, c.text.size()), c.text) << c.name;
        EXPECT_EQ(port.os.opens, port.os.closes) << c.name;
    }
}

TEST(ComPortWindows, APortHeldElsewhereGivesTheSystemsCodeAndReason) {
    FakePort port;
    port.os.openError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(port.device->InitSerial(3), FALSE);
    EXPECT_EQ(port.device->GetLastErrorText(),
              kTryPort3 +
                  "\n --- ERR: CreateFile (Port doesn't exist or is used by another application or "
                  "by mouse)GetLastError() returned 5\n --- " +
                  device::ErrorText(ERROR_ACCESS_DENIED) +
                  " (the port is in use by another program)");
    EXPECT_NE(device::ErrorText(ERROR_ACCESS_DENIED), "");
    EXPECT_EQ(port.device->GetPortNumber(), 0);
}

TEST(ComPortWindows, LineSettingsGoOnTopOfWhatThePortReports) {
    struct Case {
        int baud;
        char parity;
        int dataBits;
        int stopBits;
        BYTE wantParity;
        BYTE wantStopBits;
    };
    // The port reports mark parity and 1.5 stop bits: settings it cannot take keep those.
    const std::vector<Case> cases = {
        {9600, 'E', 7, 2, EVENPARITY, TWOSTOPBITS},    {38400, 'N', 8, 1, NOPARITY, ONESTOPBIT},
        {2400, 'O', 8, 1, ODDPARITY, ONESTOPBIT},      {300, 'X', 5, 3, MARKPARITY, ONE5STOPBITS},
        {115200, 'e', 6, 0, MARKPARITY, ONE5STOPBITS},
    };
    for (const Case& c : cases) {
        FakePort port;
        port.os.state.fOutxCtsFlow = TRUE;
        port.os.state.fRtsControl = RTS_CONTROL_HANDSHAKE;
        port.os.state.fDtrControl = DTR_CONTROL_ENABLE;
        port.os.state.XonChar = 0x11;
        port.os.state.XoffLim = 77;
        port.os.state.fAbortOnError = TRUE;
        ComPortDevice& device = *port.device;
        device.SetBaudRate(c.baud);
        device.SetParity(c.parity);
        device.SetDataBits(c.dataBits);
        device.SetStopBits(c.stopBits);
        ASSERT_EQ(device.InitSerial(1), TRUE) << c.baud << device.GetLastErrorText();

        const DCB& set = port.os.state;
        EXPECT_EQ(set.BaudRate, static_cast<DWORD>(c.baud));
        EXPECT_EQ(set.ByteSize, c.dataBits);
        EXPECT_EQ(set.Parity, c.wantParity) << c.parity;
        EXPECT_EQ(set.StopBits, c.wantStopBits) << c.stopBits;
        EXPECT_EQ(set.EvtChar, '\r');
        // Flow control, XON/XOFF and error handling stay as the port had them.
        EXPECT_EQ(set.fOutxCtsFlow, 1u);
        EXPECT_EQ(set.fRtsControl, static_cast<DWORD>(RTS_CONTROL_HANDSHAKE));
        EXPECT_EQ(set.fDtrControl, static_cast<DWORD>(DTR_CONTROL_ENABLE));
        EXPECT_EQ(set.XonChar, 0x11);
        EXPECT_EQ(set.XoffLim, 77);
        EXPECT_EQ(set.fAbortOnError, 1u);
    }
}

TEST(ComPortWindows, SettingsTheBlockCannotHoldAreRefused) {
    const struct {
        int baud;
        int dataBits;
    } cases[] = {{0, 8}, {-9600, 8}, {9600, 9}, {9600, 4}, {9600, 264}};
    for (const auto& c : cases) {
        FakePort port;
        ASSERT_EQ(port.device->InitSerial(1), TRUE);
        port.os.statesSet.clear();
        port.device->SetBaudRate(c.baud);
        port.device->SetDataBits(c.dataBits);
        EXPECT_EQ(port.device->ChangeBaudRate(), FALSE) << c.baud << " " << c.dataBits;
        EXPECT_EQ(port.device->GetLastErrorText(), "\nChangeBaudRate() --- ERR: SetCommState");
        EXPECT_TRUE(port.os.statesSet.empty());
    }
}

TEST(ComPortWindows, TimeoutsFollowTheDevicesTimeoutStretchedBelow9600Baud) {
    const struct {
        int baud;
        int timeout;
        DWORD t;
    } cases[] = {{38400, 600, 600}, {9600, 600, 600},  {4800, 600, 1200},
                 {2400, 600, 2400}, {110, 600, 52363}, {9600, 100, 100}};
    for (const auto& c : cases) {
        FakePort port;
        port.device->SetBaudRate(c.baud);
        port.device->SetTimeout(c.timeout);
        ASSERT_EQ(port.device->InitSerial(1), TRUE);
        port.os.timeouts.ReadIntervalTimeout = 9999;
        const unsigned char byte = 'x';
        ASSERT_EQ(port.device->WriteBytes(&byte, 1), TRUE);
        const COMMTIMEOUTS& set = port.os.timeouts;
        EXPECT_EQ(set.ReadIntervalTimeout, c.t) << c.baud;
        EXPECT_EQ(set.ReadTotalTimeoutMultiplier, 1u);
        EXPECT_EQ(set.ReadTotalTimeoutConstant, c.t) << c.baud;
        EXPECT_EQ(set.WriteTotalTimeoutMultiplier, 1u);
        EXPECT_EQ(set.WriteTotalTimeoutConstant, c.t) << c.baud;
    }
}

TEST(ComPortWindows, AWriteThatGetsOnlyPartOutFails) {
    FakePort port;
    ASSERT_EQ(port.device->InitSerial(1), TRUE);
    struct Seen {
        int requested = 0;
        int transferred = 0;
    } seen;
    port.device->SetWriteMonitor(
        [](const unsigned char*, int requested, int transferred, void* user) {
            *static_cast<Seen*>(user) = {requested, transferred};
        },
        &seen);
    port.os.writeLimit = 3;
    EXPECT_EQ(port.device->WriteString("DB CNF WRITE"), FALSE);
    EXPECT_EQ(seen.requested, 12);
    EXPECT_EQ(seen.transferred, 3);
    port.os.writeLimit = MAXDWORD;
    EXPECT_EQ(port.device->WriteString("DB CNF WRITE"), TRUE);
}

TEST(ComPortWindows, ReadStringStopsAtTheTerminatorSilenceOrFailure) {
    FakePort port;
    ComPortDevice& device = *port.device;
    ASSERT_EQ(device.InitSerial(1), TRUE);
    std::string text;

    port.os.input = std::string("\x02+VT\x03rest", 9);
    EXPECT_EQ(device.ReadString(text), 5);
    EXPECT_EQ(text, "\x02+VT\x03");
    // Cut off by silence: what came, without the terminator; a zero byte is a byte.
    port.os.input = "rest";
    EXPECT_EQ(device.ReadString(text), 4);
    EXPECT_EQ(text, "rest");
    port.os.input = std::string("a\0b", 3);
    EXPECT_EQ(device.ReadString(text), 3);
    EXPECT_EQ(text, std::string("a\0b", 3));
    // A failing read call gives nothing, even after bytes came.
    port.os.readFails = true;
    port.os.input = "xyz";
    text = "old";
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(text, "");
    // Without its time-outs a read could wait for ever: it is not made.
    port.os.readFails = false;
    port.os.timeoutsFail = true;
    const int readsBefore = port.os.reads;
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(port.os.reads, readsBefore);
}

TEST(ComPortWindows, ReadStringIsBoundedInBytesAndTime) {
    FakePort port;
    ComPortDevice& device = *port.device;
    ASSERT_EQ(device.InitSerial(1), TRUE);
    std::string text;
    // A flood of a hundred times the bound: each read takes the bound, the rest waits.
    const int flood = 100 * kLineBytes;
    port.os.input = std::string(flood, 'x');
    for (int read = 1; read <= 3; ++read) {
        EXPECT_EQ(device.ReadString(text), kLineBytes);
        EXPECT_EQ(text, std::string(kLineBytes, 'x'));
        EXPECT_EQ(device.GetInputCount(), flood - read * kLineBytes);
    }

    // A byte every 100 ms: the read ends 30 s after the first byte, and the last wait is cut
    // to what is left of them.
    port.os.input = std::string(1000, 'y');
    port.os.byteMs = 100;
    EXPECT_EQ(device.ReadString(text), kLineMs / 100 + 1);
    EXPECT_EQ(port.os.timeoutsSet.back().ReadTotalTimeoutConstant, 100u);
}

TEST(ComPortWindows, AClosedPortTransfersNothing) {
    FakePort port;
    ComPortDevice& device = *port.device;
    unsigned char buffer[4] = {};
    std::string text = "old";
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(device.ReadBytes(buffer, 4), 0);
    EXPECT_EQ(device.WriteBytes(buffer, 4), FALSE);
    EXPECT_EQ(device.PurgeInput(), FALSE);
    EXPECT_EQ(device.PurgeOutput(), FALSE);
    EXPECT_EQ(device.GetInputCount(), 0);
    EXPECT_EQ(device.GetOutputCount(), 0);
    EXPECT_EQ(device.ChangeBaudRate(), FALSE);
    EXPECT_EQ(device.GetLastErrorText(), "\nChangeBaudRate() --- ERR: GetCommState");
    EXPECT_EQ(port.os.reads, 0);
}

TEST(ComPortWindows, ReadBytesAndTheQueueCounts) {
    FakePort port;
    ComPortDevice& device = *port.device;
    ASSERT_EQ(device.InitSerial(1), TRUE);
    port.os.input = "abcdef";
    port.os.outputQueue = 9;
    EXPECT_EQ(device.GetInputCount(), 6);
    EXPECT_EQ(device.GetOutputCount(), 9);
    unsigned char buffer[4] = {};
    EXPECT_EQ(device.ReadBytes(buffer, 4), 4);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "abcd");
    EXPECT_EQ(device.PurgeInput(), TRUE);
    EXPECT_EQ(port.os.purges.back(), static_cast<DWORD>(PURGE_RXABORT | PURGE_RXCLEAR));
    EXPECT_EQ(device.GetInputCount(), 0);
    EXPECT_EQ(device.PurgeOutput(), TRUE);
    EXPECT_EQ(port.os.purges.back(), static_cast<DWORD>(PURGE_TXABORT | PURGE_TXCLEAR));
}

}  // namespace

namespace {

TEST(ComPortWindows, APortThatHasGoneFailsAtOnceUntilTheNextOpen) {
    FakePort port;
    ComPortDevice& device = *port.device;
    ASSERT_EQ(device.InitSerial(1), TRUE);
    std::string text;
    // A passing fault is not a lost link.
    port.os.readFails = true;
    port.os.lastError = ERROR_INVALID_PARAMETER;
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(device.IsLinkLost(), FALSE);

    port.os.lastError = ERROR_BAD_COMMAND;
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(device.IsLinkLost(), TRUE);
    EXPECT_EQ(device.GetLinkLostReason(), device::ErrorText(ERROR_BAD_COMMAND));
    const int reads = port.os.reads;
    unsigned char byte = 'x';
    EXPECT_EQ(device.ReadString(text), 0);
    EXPECT_EQ(device.ReadBytes(&byte, 1), 0);
    EXPECT_EQ(device.WriteBytes(&byte, 1), FALSE);
    EXPECT_EQ(device.PurgeInput(), FALSE);
    EXPECT_EQ(port.os.reads, reads);
    EXPECT_TRUE(port.os.output.empty());

    port.os.readFails = false;
    ASSERT_EQ(device.InitSerial(1), TRUE);
    EXPECT_EQ(device.IsLinkLost(), FALSE);
    EXPECT_EQ(device.WriteBytes(&byte, 1), TRUE);
}

// The registry's driver objects are opened by their COM names; a name of another form (a port
// the user gave, as the command line does) is the file to open.
TEST(ComPortWindows, AFileNameInThePortMapIsOpenedAsGiven) {
    const struct {
        const char* name;
        const char* data;
        const char* path;
        const char* openName;  // the name that the command line gives such a port on its own
    } cases[] = {{"\\Device\\Serial0", "COM1", "\\\\.\\COM1", "COM1"},
                 {"COM11", "COM1", "\\\\.\\COM11", "COM11"},
                 {"\\\\.\\COM12", "COM1", "\\\\.\\COM12", "\\\\.\\COM12"},
                 {"COM1", "COM1", "\\\\.\\COM1", "COM1"}};
    for (const auto& c : cases) {
        windows_test::SerialOsWindowsFake os;
        testkit_test::PortSourceFake ports(std::vector<device::PortValue>{{c.name, c.data}});
        const device::ScopedPortSource scoped(ports);
        ComPortDeviceWindows device(os);
        ASSERT_EQ(device.InitSerial(1), TRUE) << c.name;
        EXPECT_EQ(os.openedPath, c.path) << c.name;
        EXPECT_EQ(device::PortOpenName({c.name, c.data}), c.openName);
    }
}

}  // namespace
