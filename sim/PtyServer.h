#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "sim/Faults.h"
#include "sim/Instrument.h"
#include "sim/Log.h"
#include "sim/Pty.h"
#include "sim/State.h"

namespace sim {

struct ServerConfig {
    State state;                // what the instrument starts with
    std::vector<Fault> faults;  // in force from the start
    std::string stateFile;      // when set, "DB CNF WRITE" writes the state there as JSON
    std::string logFile;        // when set, one JSON line per command, reply and dropped chunk
};

// The simulated instrument on a pseudo-terminal. A background thread reads what the host
// writes to the slave side, answers as the instrument, and stays silent (dropping what it
// reads) while the host's speed or stop bits differ from the instrument's own line. The
// server keeps a slave descriptor of its own open, so the host may close and reopen the slave
// at will. Every method is safe to call from any thread.
class PtyServer {
public:
    // Opens the pseudo-terminal and starts answering; nullptr with a message on failure.
    static std::unique_ptr<PtyServer> Start(ServerConfig config, std::string& error);
    // Stops the thread (at once, or after the byte being sent) and closes the pty.
    ~PtyServer();
    PtyServer(const PtyServer&) = delete;
    PtyServer& operator=(const PtyServer&) = delete;

    const std::string& SlavePath() const { return m_pty.SlavePath(); }
    const Log& Traffic() const { return m_log; }

    State Current() const;
    State Stored() const;
    void SetCurrent(State state);
    void AddFault(Fault fault);
    void ClearFaults();

private:
    PtyServer() = default;
    bool Open(ServerConfig& config, std::string& error);
    void Run();
    // False when the thread is to stop.
    bool Handle(std::string_view bytes);
    bool Send(const std::string& wire, int paceBaud);

    std::string m_stateFile;
    Pty m_pty;
    Log m_log;
    mutable std::mutex m_mutex;  // guards m_instrument
    Instrument m_instrument;
    std::thread m_thread;
};

}  // namespace sim
