// One settings profile applied by veltrix-settings, run as a process, to one and to eight
// simulated instruments at once, each on its own pty with every reply paced at the baud rate;
// then an apply to an instrument that already matches, against the least time of its queries.
//   bench_fleet [path of veltrix-settings]
//
// Targets: eight instruments in at most 1.10 times the wall time of one; the program's CPU time
// under 2 % of wall; the matching apply in at most 1.05 times the least time of its queries,
// with the same commands on the line as a `read`.

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "sim/Fd.h"
#include "sim/PtyServer.h"
#include "tests/bench/Traffic.h"
#include "tests/testkit/Stopwatch.h"

extern char** environ;

namespace {

using testkit_test::ClockMs;

constexpr int kFleet = 8;
constexpr int kBaud = 9600;
constexpr double kFleetRatioTarget = 1.10;
constexpr double kCpuShareTarget = 0.02;
constexpr double kMatchRatioTarget = 1.05;
constexpr int kRunTimeoutMs = 300000;
constexpr int kReplyWaitMs = 1000;

// Differs from the simulator's defaults in every setting, the connect rate aside.
constexpr std::string_view kProfile = R"({
  "format": 1,
  "mode": "morvane",
  "baud": 9600,
  "filters": [405, 450, 492, 550, 600, 700],
  "measurement": "accuracy",
  "plate": {"power_on": "out", "measurement_end": "stay", "remote_on": "out", "remote_off": "stay"}
})";

double Ms(const timeval& t) {
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_usec) / 1e3;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

struct Run {
    std::string problem;  // empty when the program ran to its end
    int exitCode = -1;
    double wallMs = 0;
    double cpuMs = 0;  // the program's user and system time
    std::string out;
    std::string err;
};

// Runs the program with its output in files under `dir`, for at most kRunTimeoutMs.
Run RunProgram(const std::vector<std::string>& args, const std::filesystem::path& dir) {
    Run run;
    const std::string outPath = (dir / "stdout").string();
    const std::string errPath = (dir / "stderr").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_t pid = 0;
    const double start = ClockMs(CLOCK_MONOTONIC);
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        run.problem = args[0] + ": " + std::strerror(spawned);
        return run;
    }
    // Debian 12's C library declares pidfd_open without C linkage, so the call goes direct.
    const sim::Fd exited(static_cast<int>(syscall(SYS_pidfd_open, pid, 0)));
    pollfd wait{exited.Get(), POLLIN, 0};
    if (!exited) {
        run.problem = std::string("pidfd_open: ") + std::strerror(errno);
    } else if (poll(&wait, 1, kRunTimeoutMs) != 1) {
        run.problem = "did not end within " + std::to_string(kRunTimeoutMs / 1000) + " s";
    }
    if (!run.problem.empty()) kill(pid, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.wallMs = ClockMs(CLOCK_MONOTONIC) - start;
    run.cpuMs = Ms(usage.ru_utime) + Ms(usage.ru_stime);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(outPath);
    run.err = ReadFile(errPath);
    return run;
}

// Empty when the JSON summary has `count` rows, each ok, changed as expected, and saved
// exactly when changed.
std::string CheckSummary(const Run& run, std::size_t count, bool changed) {
    if (!run.problem.empty()) return run.problem;
    if (run.exitCode != 0) return "exit code " + std::to_string(run.exitCode) + ": " + run.err;
    const auto summary = nlohmann::json::parse(run.out, nullptr, false);
    if (summary.is_discarded() || !summary.contains("results") || !summary["results"].is_array() ||
        summary["results"].size() != count) {
        return "unexpected summary: " + run.out;
    }
    for (const auto& row : summary["results"]) {
        const auto flag = [&row](const char* key) {
            return row.is_object() && row.contains(key) && row[key] == true;
        };
        if (flag("ok") && flag("changed") == changed && flag("saved") == changed) continue;
        return "unexpected row: " + row.dump();
    }
    return {};
}

std::unique_ptr<sim::PtyServer> StartInstrument(std::string& error) {
    sim::ServerConfig config;
    config.state.baud = kBaud;
    sim::Fault pace;
    pace.kind = sim::FaultKind::Pace;
    config.faults.push_back(pace);
    return sim::PtyServer::Start(std::move(config), error);
}

// The commands an instrument received from entry `first` on, once its replies are logged.
std::vector<std::string> CommandsSince(const sim::PtyServer& server, std::size_t first) {
    const auto entries = server.Traffic().Entries();
    std::vector<std::string> commands;
    for (std::size_t i = first; i < entries.size(); ++i) {
        if (entries[i].direction == sim::Direction::Received) commands.push_back(entries[i].text);
    }
    return commands;
}

void WaitForReplies(const sim::PtyServer& server) {
    std::size_t received = 0;
    for (const sim::LogEntry& e : server.Traffic().Entries())
        received += e.direction == sim::Direction::Received && e.note.empty() ? 1 : 0;
    server.Traffic().WaitFor(sim::Direction::Sent, received, kReplyWaitMs);
}

struct FleetRow {
    double wallMs = 0;
    double cpuMs = 0;
    double simCpuMs = 0;
};

class Bench {
public:
    Bench(std::string program, std::filesystem::path dir)
        : m_program(std::move(program)),
          m_dir(std::move(dir)),
          m_profile((m_dir / "profile.json").string()) {
        std::ofstream(m_profile) << kProfile;
    }

    // Applies the profile to `count` fresh instruments at once; the first stays for later.
    bool ApplyToFleet(int count, FleetRow& row) {
        std::vector<std::unique_ptr<sim::PtyServer>> fleet;
        std::vector<std::string> args{m_program, "apply",  m_profile,
                                      "--json",  "--baud", std::to_string(kBaud)};
        for (int i = 0; i < count; ++i) {
            std::string error;
            fleet.push_back(StartInstrument(error));
            if (!fleet.back()) return Fail("simulator: " + error);
            args.insert(args.end(), {"--port", fleet.back()->SlavePath()});
        }
        const double simCpuStart = ClockMs(CLOCK_PROCESS_CPUTIME_ID);
        const Run run = RunProgram(args, m_dir);
        row = {run.wallMs, run.cpuMs, ClockMs(CLOCK_PROCESS_CPUTIME_ID) - simCpuStart};
        const std::string problem = CheckSummary(run, static_cast<std::size_t>(count), true);
        if (!problem.empty()) return Fail(std::to_string(count) + " instruments: " + problem);
        for (const auto& server : fleet) {
            if (server->Stored().mode != sim::kModeMorvane)
                return Fail(server->SlavePath() + " did not store the profile's mode");
        }
        m_matching = std::move(fleet.front());
        return true;
    }

    // A read and then an apply on the instrument that now matches the profile.
    bool ApplyToMatching() {
        if (!m_matching) return Fail("no instrument holds the profile");
        const std::vector<std::string> port{"--port", m_matching->SlavePath(), "--baud",
                                            std::to_string(kBaud)};
        std::size_t first = m_matching->Traffic().Entries().size();
        std::vector<std::string> args{m_program, "read"};
        args.insert(args.end(), port.begin(), port.end());
        const Run read = RunProgram(args, m_dir);
        if (!read.problem.empty() || read.exitCode != 0)
            return Fail("read: " + read.problem + read.err);
        WaitForReplies(*m_matching);
        const std::vector<std::string> readCommands = CommandsSince(*m_matching, first);

        first = m_matching->Traffic().Entries().size();
        args = {m_program, "apply", m_profile, "--json"};
        args.insert(args.end(), port.begin(), port.end());
        const Run apply = RunProgram(args, m_dir);
        const std::string problem = CheckSummary(apply, 1, false);
        if (!problem.empty()) return Fail("matching apply: " + problem);
        WaitForReplies(*m_matching);
        const bench_test::Protocol protocol =
            bench_test::ReadTraffic(m_matching->Traffic().Entries(), first, kBaud);
        const std::vector<std::string> applyCommands = CommandsSince(*m_matching, first);

        const double least = protocol.LeastMs({});
        const double simLeast = protocol.SimLeastMs({});
        const double simRatio = apply.wallMs / simLeast;
        const bool sameAsRead = applyCommands == readCommands && protocol.unanswered == 0;
        m_met = m_met && simRatio <= kMatchRatioTarget && sameAsRead;
        std::printf(
            "\nmatching apply: %d commands (%d polls, %d type queries), %zu reply bytes\n"
            "  least %.1f ms, sim least %.1f ms, wall %.1f ms, ratio %.4f, ratio* %.4f "
            "(target <= %.2f), CPU %.1f ms\n"
            "  commands on the line: %s\n",
            protocol.commands, protocol.polls, protocol.typeQueries, protocol.replyBytes, least,
            simLeast, apply.wallMs, apply.wallMs / least, simRatio, kMatchRatioTarget, apply.cpuMs,
            sameAsRead ? "the same as read's" : "DIFFER from read's");
        if (!sameAsRead) {
            for (const std::string& command : applyCommands)
                std::printf("    apply: %s\n", command.c_str());
            for (const std::string& command : readCommands)
                std::printf("    read:  %s\n", command.c_str());
        }
        return true;
    }

    void Print(int count, const FleetRow& row, double ratio) {
        const double share = row.cpuMs / row.wallMs;
        m_met = m_met && share < kCpuShareTarget && ratio <= kFleetRatioTarget;
        std::printf("%11d %10.1f %8.4f %10.1f %7.3f %12.1f\n", count, row.wallMs, ratio, row.cpuMs,
                    share * 100, row.simCpuMs);
    }

    bool Met() const { return m_met; }

private:
    bool Fail(const std::string& problem) {
        std::fflush(stdout);
        std::fprintf(stderr, "bench_fleet: %s\n", problem.c_str());
        return false;
    }

    std::string m_program;
    std::filesystem::path m_dir;
    std::string m_profile;
    std::unique_ptr<sim::PtyServer> m_matching;
    bool m_met = true;
};

}  // namespace

int main(int argc, char** argv) {
    const std::string program = argc > 1 ? argv[1] : VELTRIX_SETTINGS_PROGRAM;
    char dirTemplate[] = "/tmp/bench_fleet.XXXXXX";
    if (mkdtemp(dirTemplate) == nullptr) {
        std::perror("bench_fleet: mkdtemp");
        return 1;
    }
    const std::filesystem::path dir(dirTemplate);
    bool ok = true;
    {
        Bench bench(program, dir);
        std::printf(
            "veltrix-settings apply of one profile, each instrument on its own pty with every "
            "reply at %d baud.\n\n%11s %10s %8s %10s %7s %12s\n",
            kBaud, "instruments", "wall ms", "ratio", "CPU ms", "CPU %", "sim CPU ms");
        FleetRow one;
        FleetRow eight;
        ok = bench.ApplyToFleet(1, one) && bench.ApplyToFleet(kFleet, eight);
        if (ok) {
            bench.Print(1, one, 1.0);
            bench.Print(kFleet, eight, eight.wallMs / one.wallMs);
            ok = bench.ApplyToMatching();
        }
        std::printf(
            "\nratio: wall over the wall of one; CPU: the program's user and system time; sim "
            "CPU: the simulators' threads.\nleast: 300 ms per ready poll + 100 ms per type query + "
            "every reply byte at 10 bits per baud;\nsim least: each reply as early as the "
            "simulator hands it over; ratio = wall / least, ratio* = wall / sim least.\n"
            "targets: %d instruments in <= %.2f times one, CPU < %.0f %% of wall, matching apply "
            "ratio* <= %.2f with read's commands: %s\n",
            kFleet, kFleetRatioTarget, kCpuShareTarget * 100, kMatchRatioTarget,
            !ok           ? "FAILED"
            : bench.Met() ? "met"
                          : "MISSED");
    }
    std::filesystem::remove_all(dir);
    return ok ? 0 : 1;
}
