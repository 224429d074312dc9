#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "PtyClient.h"
#include "sim/Fd.h"
#include "sim/Frame.h"

extern char** environ;

namespace {

using namespace std::string_literals;

// veltrix-sim started with its standard output and error on pipes.
class Program {
public:
    explicit Program(std::vector<std::string> args) {
        int out[2];
        int err[2];
        if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) return;
        m_out.Reset(out[0]);
        m_err.Reset(err[0]);
        sim::Fd outWrite(out[1]);
        sim::Fd errWrite(err[1]);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, outWrite.Get(), 1);
        posix_spawn_file_actions_adddup2(&actions, errWrite.Get(), 2);
        args.insert(args.begin(), VELTRIX_SIM_PROGRAM);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        if (m_pid > 0 && Wait(0) < 0) {
            kill(m_pid, SIGKILL);
            waitpid(m_pid, nullptr, 0);
        }
    }

    bool Started() const { return m_pid > 0; }
    void Signal(int signal) const { kill(m_pid, signal); }

    // Reads standard output up to the first newline, within `ms`.
    std::string FirstLine(int ms) {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (char c = 0; c != '\n' && std::chrono::steady_clock::now() < deadline;) {
            pollfd fd{m_out.Get(), POLLIN, 0};
            if (poll(&fd, 1, 50) > 0 && read(m_out.Get(), &c, 1) == 1 && c != '\n') line += c;
        }
        return line;
    }

    // The exit status within `ms`, or -1 while it still runs.
    int Wait(int ms) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_pid = -1;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (std::chrono::steady_clock::now() >= deadline) return -1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    static std::string ReadAll(const sim::Fd& fd) {
        std::string text;
        char buffer[4096];
        pollfd p{fd.Get(), POLLIN, 0};
        while (poll(&p, 1, 2000) > 0) {
            const ssize_t n = read(fd.Get(), buffer, sizeof buffer);
            if (n <= 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }
    std::string Out() const { return ReadAll(m_out); }
    std::string Err() const { return ReadAll(m_err); }

private:
    pid_t m_pid = -1;
    sim::Fd m_out;
    sim::Fd m_err;
};

TEST(SimProgram, HelpDocumentsTheOptionsAndExitsZero) {
    Program program({"--help"});
    ASSERT_TRUE(program.Started());
    const std::string out = program.Out();
    EXPECT_EQ(program.Wait(5000), 0);
    EXPECT_EQ(out.rfind("Usage: veltrix-sim", 0), 0u) << out;
    EXPECT_NE(out.find("--scenario FILE"), std::string::npos);
}

TEST(SimProgram, UnknownOptionExitsTwoWithAClearMessage) {
    Program program({"--frobnicate"});
    ASSERT_TRUE(program.Started());
    const std::string err = program.Err();
    EXPECT_EQ(program.Wait(5000), 2);
    EXPECT_NE(err.find("unknown option '--frobnicate'"), std::string::npos) << err;
    EXPECT_NE(err.find("--help"), std::string::npos) << err;
}

struct QuickRun {
    std::vector<std::string> args;
    std::string trace;  // written to the file the args name as TRACE, when not empty
    int status;
    std::string out;  // what standard output or error says
};

TEST(SimProgram, VersionAndUnreadableTracesExitAtOnce) {
    const std::string path = ::testing::TempDir() + "program-test.trace";
    const std::vector<QuickRun> runs = {
        {{"--version"}, "", 0, "veltrix-sim " VELTRIX_VERSION "\n"},
        {{"--replay", path}, "not a trace\n", 2, "program-test.trace, line 1: not a Veltrix"},
        {{"--replay", path},
         "# Veltrix line trace, t, on COM1 at 9600 baud, 8N1\n14:00:00.000 W 3  02 56\n",
         2,
         "line 2: the text column"},
        {{"--replay", path + ".missing"}, "", 2, "cannot open the trace"},
        {{"--replay", path},
         "# Veltrix line trace, t, on COM1 at 9600 baud, 8N1\n14:00:00.000 R 1  56  |V|\n",
         2,
         "line 2: bytes from the instrument (R) before any command (W)"},
    };
    for (const QuickRun& run : runs) {
        if (!run.trace.empty()) std::ofstream(path) << run.trace;
        Program program(run.args);
        ASSERT_TRUE(program.Started());
        const std::string said = program.Out() + program.Err();
        EXPECT_EQ(program.Wait(5000), run.status) << said;
        EXPECT_NE(said.find(run.out), std::string::npos) << said;
    }
}

// Plays a two-command trace; the program sends the second one differently.
TEST(SimProgram, ReplayReportsADifferenceAndEndsByItself) {
    const std::string path = ::testing::TempDir() + "program-replay.trace";
    std::ofstream(path) << "# Veltrix line trace, t, on COM1 at 2400 baud, 8N1\n"
                           "14:00:00.000 W 4  02 21 0D 00  |.!..|\n"
                           "14:00:00.010 R 5  02 2B 4D 56 0D  |.+MV.|\n"
                           "14:00:00.300 W 3  02 56 0D  |.V.|\n"
                           "14:00:00.310 R 8  02 56 20 33 2E 31 30 0D  |.V 3.10.|\n";
    Program program({"--replay", path});
    ASSERT_TRUE(program.Started());
    const std::string pty = program.FirstLine(5000);
    ASSERT_EQ(pty.rfind("/dev/pts/", 0), 0u) << pty;
    {
        sim_test::PtyClient host(pty);
        ASSERT_TRUE(host.SetLine(2400, false));
        EXPECT_EQ(host.Ask("\x02!\r\0"s, false), "\x02+MV\r");
        EXPECT_EQ(host.Ask("\x02W\r", false), "\x02V 3.10\r");
    }
    // The port is closed after the last recorded exchange: the replay ends.
    EXPECT_EQ(program.Wait(5000), 3);
    const std::string err = program.Err();
    EXPECT_NE(err.find("line 4: expected 02 56 0D |<STX>V<CR>|, received 02 57 0D |<STX>W<CR>|"),
              std::string::npos)
        << err;
    EXPECT_NE(err.find("2 of 2 recorded commands answered, 1 difference\n"), std::string::npos)
        << err;
}

TEST(SimProgram, PrintsThePtyMakesTheLinkAnswersAndCleansUpOnSigterm) {
    const std::string link = ::testing::TempDir() + "veltrix-sim-test-link";
    unlink(link.c_str());
    Program program({"--link", link, "--mode", "morvane", "--baud", "2400"});
    ASSERT_TRUE(program.Started());
    const std::string path = program.FirstLine(5000);
    ASSERT_EQ(path.rfind("/dev/pts/", 0), 0u) << path;

    sim_test::PtyClient host(link);
    ASSERT_TRUE(host.IsOpen());
    ASSERT_TRUE(host.SetLine(2400, false));
    EXPECT_EQ(host.Ask("\x02!\r\0"s, false), sim::ShortFrame("+MV"));

    program.Signal(SIGTERM);
    EXPECT_EQ(program.Wait(5000), 0);
    struct stat info {};
    EXPECT_NE(lstat(link.c_str(), &info), 0) << "the link is removed at exit";
}

}  // namespace
