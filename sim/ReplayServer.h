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
// finishes by itself once every recorded command has been answered and the program has been
// quiet for a second; Stop ends it early.
//   auto server = ReplayServer::Start(trace, [](const std::string& d) { std::cerr << d; }, error);
//   open server->SlavePath() ...; server->WaitUntilFinished(60000);
//   std::vector<std::string> differences = server->Stop();
class ReplayServer {
public:
    using Report = std::function<void(const std::string& difference)>;
    static constexpr int kEndQuietMs = 1000;

    // report, when set, hears each difference as it is found (on the server's thread).
    static std::unique_ptr<ReplayServer> Start(Trace trace, Report report, std::string& error);
    ~ReplayServer();
    ReplayServer(const ReplayServer&) = delete;
    ReplayServer& operator=(const ReplayServer&) = delete;

    const std::string& SlavePath() const { return m_pty.SlavePath(); }
    // True once the replay has finished by itself; false after the time-out.
    bool WaitUntilFinished(int timeoutMs);
    // Stops the replay, notes the recorded commands never sent, and returns every difference.
    std::vector<std::string> Stop();
    // How many recorded commands have been answered so far.
    int Answered() const;

private:
    explicit ReplayServer(Trace trace, Report report);
    void Run();
    void Reported();  // passes the new differences to the report; m_mutex held

    Pty m_pty;
    Report m_report;
    mutable std::mutex m_mutex;  // guards what follows
    std::condition_variable m_changed;
    Replay m_replay;
    std::size_t m_reported = 0;
    bool m_finished = false;
    std::thread m_thread;
};

}  // namespace sim
