// veltrix-sim: the simulated instrument on a pseudo-terminal, until SIGINT or SIGTERM.

#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "sim/Options.h"
#include "sim/PtyServer.h"
#include "sim/ReplayServer.h"
#include "sim/StateFile.h"
#include "sim/TraceFile.h"

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDifferences = 3;

int Usage(const std::string& error) {
    std::fprintf(stderr, "veltrix-sim: %s\nTry 'veltrix-sim --help' for more information.\n",
                 error.c_str());
    return kExitUsage;
}

int Failure(const std::string& error) {
    std::fprintf(stderr, "veltrix-sim: %s\n", error.c_str());
    return kExitFailure;
}

// Replaces a stale link from an earlier run, but never a file that is not a link.
bool MakeLink(const std::string& link, const std::string& target, std::string& error) {
    struct stat info {};
    if (lstat(link.c_str(), &info) == 0) {
        if (!S_ISLNK(info.st_mode)) {
            error = link + ": exists and is not a symbolic link";
            return false;
        }
        unlink(link.c_str());
    }
    if (symlink(target.c_str(), link.c_str()) != 0) {
        error = link + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// Removes the link only while it still points to this run's pty.
void RemoveLink(const std::string& link, const std::string& target) {
    std::vector<char> buffer(target.size() + 2);
    const ssize_t n = readlink(link.c_str(), buffer.data(), buffer.size());
    if (n >= 0 && std::string(buffer.data(), static_cast<std::size_t>(n)) == target) {
        unlink(link.c_str());
    }
}

// Blocks the stop signals before a server's thread starts, so that it inherits the mask and
// only the main thread receives them.
sigset_t BlockStopSignals() {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    return stopSignals;
}

// Prints the pty's path (and makes the link) for the program to open.
bool Announce(const sim::ProgramOptions& options, const std::string& slavePath,
              std::string& error) {
    if (!options.link.empty() && !MakeLink(options.link, slavePath, error)) return false;
    std::printf("%s\n", slavePath.c_str());
    std::fflush(stdout);
    return true;
}

int Replay(const sim::ProgramOptions& options) {
    sim::Trace trace;
    std::string error;
    if (!sim::ReadTraceFile(options.replayFile, trace, error)) {
        std::fprintf(stderr, "veltrix-sim: %s\n", error.c_str());
        return kExitUsage;
    }
    sigset_t stopSignals = BlockStopSignals();
    const auto server = sim::ReplayServer::Start(
        std::move(trace),
        [](const std::string& difference) {
            std::fprintf(stderr, "veltrix-sim: replay: %s\n", difference.c_str());
        },
        error);
    if (!server) return Failure(error);
    if (!Announce(options, server->SlavePath(), error)) return Failure(error);

    // Until the replay finishes by itself or a signal ends it.
    const timespec tick{0, 100'000'000};
    while (!server->WaitUntilFinished(0)) {
        if (sigtimedwait(&stopSignals, nullptr, &tick) > 0) break;
    }
    const std::vector<std::string> differences = server->Stop();
    if (!options.link.empty()) RemoveLink(options.link, server->SlavePath());
    std::fprintf(stderr, "veltrix-sim: replay: %d of %d recorded commands answered, %zu %s\n",
                 server->Answered(), server->Recorded(), differences.size(),
                 differences.size() == 1 ? "difference" : "differences");
    return differences.empty() ? 0 : kExitDifferences;
}

}  // namespace

int main(int argc, char** argv) {
    sim::ProgramOptions options;
    std::string error;
    if (!sim::ParseOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
        return Usage(error);
    }
    if (options.help) {
        std::fputs(sim::HelpText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("veltrix-sim %s\n", VELTRIX_VERSION);
        return 0;
    }
    if (!options.replayFile.empty()) return Replay(options);
    for (const std::string& path : options.scenarioFiles) {
        if (!sim::ReadScenario(path, options.faults, error)) return Usage(error);
    }

    sim::ServerConfig config;
    if (!options.stateFile.empty() &&
        sim::LoadStateFile(options.stateFile, config.state, error) == sim::LoadResult::Failed) {
        return Failure(error);
    }
    for (const auto& setting : options.settings)
        setting(config.state);
    config.faults = std::move(options.faults);
    config.stateFile = options.stateFile;
    config.logFile = options.logFile;

    sigset_t stopSignals = BlockStopSignals();
    const auto server = sim::PtyServer::Start(std::move(config), error);
    if (!server) return Failure(error);
    if (!Announce(options, server->SlavePath(), error)) return Failure(error);

    int signal = 0;
    sigwait(&stopSignals, &signal);
    if (!options.link.empty()) RemoveLink(options.link, server->SlavePath());
    return 0;
}
