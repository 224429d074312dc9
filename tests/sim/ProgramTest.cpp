#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
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
