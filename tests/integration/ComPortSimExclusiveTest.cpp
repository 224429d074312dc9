// The exclusive open and its undoing on close. A pty lives as long as its master (here the
// simulator), so a tty left in exclusive mode by a port that closed would refuse every later
// open by a user other than root.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "device/linux/ComPortDeviceLinux.h"
#include "sim/State.h"
#include "tests/testkit/PortSourceFake.h"
#include "tests/testkit/SerialOsLinuxFake.h"
#include "tests/testkit/SimulatedPort.h"

namespace {

using ::testing::ElementsAre;

// The exclusive mode is switched off before the descriptor goes, on every way of closing.
TEST(ComPortSimExclusive, ClosingSwitchesExclusiveModeOffBeforeTheClose) {
    testkit_test::SerialOsLinuxFake os;
    os.AddNode("/dev/ttyUSB0");
    testkit_test::PortSourceFake source{{{"/dev/ttyUSB0", "COM1"}}};
    device::ScopedPortSource scope{source};
    {
        ComPortDeviceLinux device(os);
        ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();
        EXPECT_EQ(device.CloseSerial(), TRUE);
        ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();
    }
    EXPECT_THAT(os.Calls(), ElementsAre("open /dev/ttyUSB0", "lock", "exclusive on",
                                        "set attributes", "flush both", "exclusive off", "close",
                                        "open /dev/ttyUSB0", "lock", "exclusive on",
                                        "set attributes", "flush both", "exclusive off", "close"));
}

// Exit codes of the steps run as another user.
constexpr int kDone = 0;
constexpr int kStepFailed = 1;
constexpr int kNoPrivilegeDrop = 2;

// Runs `step` in a child process that has given up root (when it had it) for nobody, and
// returns its exit code, or -1 when it did not end within 10 s.
int RunAsOrdinaryUser(const std::function<int()>& step) {
    const pid_t pid = fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        alarm(10);
        if (geteuid() == 0) {
            constexpr uid_t kNobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) {
                _exit(kNoPrivilegeDrop);
            }
        }
        _exit(step());
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Opens COM1, identifies the instrument, closes; `times` over. Prints why a step failed.
int OpenIdentifyClose(int times) {
    for (int i = 0; i < times; ++i) {
        ComPortDeviceLinux device;
        if (device.InitSerial(1) != TRUE || device.AskForInstrumentType() != "+MV") {
            std::fprintf(stderr, "open %d: %s\n", i + 1, device.GetLastErrorText().c_str());
            return kStepFailed;
        }
        device.CloseSerial();
    }
    return kDone;
}

class ComPortSimReopen : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.server) << sim.error;
        // Everyone may open the pty, as the dialout group may open a serial port.
        ASSERT_EQ(chmod(sim.server->SlavePath().c_str(), 0666), 0);
    }

    testkit_test::SimulatedPort sim{sim::kModeMorvane, 9600};
};

TEST_F(ComPortSimReopen, AnOrdinaryUserReopensAPortThatWasClosed) {
    {
        ComPortDeviceLinux device;
        ASSERT_EQ(device.InitSerial(1), TRUE) << device.GetLastErrorText();
        // While the port is open, it is refused to everyone else.
        EXPECT_EQ(RunAsOrdinaryUser([] { return OpenIdentifyClose(1); }), kStepFailed);
    }
    EXPECT_EQ(RunAsOrdinaryUser([] { return OpenIdentifyClose(3); }), kDone);
}

// The check above can see the fault: a tty left in exclusive mode refuses an ordinary user
// even with no descriptor open on the host's side.
TEST_F(ComPortSimReopen, ATtyLeftExclusiveRefusesAnOrdinaryUser) {
    const int fd = open(sim.server->SlavePath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(ioctl(fd, TIOCEXCL), 0);
    close(fd);
    EXPECT_EQ(RunAsOrdinaryUser([] {
                  ComPortDeviceLinux device;
                  const bool busy =
                      device.InitSerial(1) == FALSE &&
                      device.GetLastErrorText().find("returned 16") != std::string::npos;
                  return busy ? kDone : kStepFailed;
              }),
              kDone);
}

}  // namespace
