#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/Pty.h"
#include "sim/Replay.h"

namespace sim {

// Plays a recorded trace on a pseudo-terminal (see Replay) in a background thread. The replay
// finishes by itself once every recorded command has been answered and the program has closed
// the port, or has sent nothing for kEndSilenceMs with the port open (a difference, when the
// recorded run ended there). Before the last recorded command it waits while the port is open,
// since a user may take their time on a step, and finishes once the program has kept the port
// closed for kEndSilenceMs, noting the commands it never sent. Stop ends it early.
//   auto server = ReplayServer::Start(trace, [](const std::string& d) { std::cerr << d; }, error);
//   open server->SlavePath() ...; server->WaitUntilFinished(60000);
//   std::vector<std::string> differences = server->Stop();
class ReplayServer {
public:
    using Report = std::function<void(const std::string& difference)>;
    static constexpr int kEndSilenceMs = 10'000;

    // report, when set, hears each difference as it is found (on the server's thread);
    // endSilenceMs replaces kEndSilenceMs (for tests).
    static std::unique_ptr<ReplayServer> Start(Trace trace, Report report, std::string& error,
                                               int endSilenceMs = kEndSilenceMs);
    ~ReplayServer();
    ReplayServer(const ReplayServer&) = delete;
    ReplayServer& operator=(const ReplayServer&) = delete;

    const std::string& SlavePath() const { return m_pty.SlavePath(); }
    // True once the replay has finished by itself; false after the time-out.
    bool WaitUntilFinished(int timeoutMs);
    // Stops the replay, notes the recorded commands never sent, and returns every difference.
    std::vector<std::string> Stop();
    // How many recorded commands have been answered so far, and how many the trace holds.
    int Answered() const;
    int Recorded() const;

private:
    ReplayServer(Trace trace, Report report, int endSilenceMs);
    void Run();
    void Reported();  // passes the new differences to the report; m_mutex held

    Pty m_pty;
    Report m_report;
    int m_endSilenceMs;
    mutable std::mutex m_mutex;  // guards what follows
    std::condition_variable m_changed;
    Replay m_replay;
    std::size_t m_reported = 0;
    bool m_finished = false;
    std::thread m_thread;
};

}  // namespace sim
