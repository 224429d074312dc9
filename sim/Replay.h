#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "sim/State.h"
#include "sim/TraceFile.h"

namespace sim {

// The instrument's side of a recorded trace, without any input or output: the program's bytes
// go in, the recorded answers come out. Each recorded command is matched byte for byte; once
// it is complete, the bytes recorded after it are the answer. A command that differs (or stops
// short) ends when the program has been quiet for a moment: the difference is noted with the
// trace's line, and it gets the recorded answer all the same, so the run goes on as well as
// it can.
//   Replay replay(trace);
//   std::string answer = replay.Receive(bytes, pty.HostLine(), nowMs);
//   answer += replay.Tick(nowMs);   // now and then while the program is quiet
class Replay {
public:
    // How long the program must be quiet before a command that differs counts as complete.
    static constexpr int kQuietMs = 20;

    explicit Replay(Trace trace);

    // Bytes from the program, sent on the line the pty shows (nothing when it cannot say).
    // Returns what the instrument answers now.
    std::string Receive(std::string_view bytes, std::optional<Line> line, std::int64_t nowMs);
    // Ends a command that differs once the program has been quiet; returns the answer then.
    std::string Tick(std::int64_t nowMs);
    // Notes the recorded commands the program never sent; call when the replay stops.
    void Finish();
    // Notes that the program kept the port open after the last recorded exchange, where the
    // recorded run ended (nothing when the trace was cut short before its end).
    void KeptOpen(int silentMs);

    // Every recorded command has been answered and nothing is pending.
    bool Done() const;
    const std::vector<std::string>& Differences() const { return m_differences; }
    // The recorded commands that the program sent and got their answers to, and all of them.
    int Answered() const { return m_answered; }
    int Recorded() const { return static_cast<int>(m_trace.steps.size()); }

private:
    std::string Complete();
    void Note(std::string difference);

    Trace m_trace;
    std::size_t m_next = 0;  // the recorded command being received
    int m_answered = 0;
    std::string m_received;  // of that command so far, or after the trace's end
    bool m_differs = false;  // m_received has left the recorded command
    std::int64_t m_lastByteMs = 0;
    std::vector<std::string> m_differences;
};

}  // namespace sim
