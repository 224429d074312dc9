#include "sim/Replay.h"

#include <utility>

namespace sim {
namespace {

std::string Describe(const Line& line) {
    return std::to_string(line.baud) + " baud with " +
           (line.twoStopBits ? "2 stop bits" : "1 stop bit");
}

}  // namespace

Replay::Replay(Trace trace) : m_trace(std::move(trace)) {}

std::string Replay::Receive(std::string_view bytes, std::optional<Line> line, std::int64_t nowMs) {
    std::string answer;
    for (const char byte : bytes) {
        m_lastByteMs = nowMs;
        if (m_next >= m_trace.steps.size()) {
            m_received += byte;
            continue;
        }
        const TraceStep& step = m_trace.steps[m_next];
        // The line is checked once a command, as its first byte comes; a pty shows only the
        // speed and the stop bits.
        if (m_received.empty() && line && *line != step.line) {
            Note("line " + std::to_string(step.lineNumber) + ": recorded at " + step.lineText +
                 ", but the program sent at " + Describe(*line));
        }
        m_received += byte;
        if (m_differs) continue;
        if (!step.command.starts_with(m_received)) {
            m_differs = true;
        } else if (m_received == step.command) {
            answer += Complete();
        }
    }
    return answer;
}

std::string Replay::Tick(std::int64_t nowMs) {
    if (m_received.empty() || nowMs - m_lastByteMs < kQuietMs) return {};
    if (m_next >= m_trace.steps.size()) {
        Note("after line " + std::to_string(m_trace.lineCount) +
             ", the end of the trace: received " + ShowBytes(m_received));
        m_received.clear();
        return {};
    }
    const TraceStep& step = m_trace.steps[m_next];
    Note("line " + std::to_string(step.lineNumber) + ": expected " + ShowBytes(step.command) +
         ", received " + ShowBytes(m_received));
    return Complete();
}

void Replay::Finish() {
    if (m_next < m_trace.steps.size()) {
        const TraceStep& step = m_trace.steps[m_next];
        Note("line " + std::to_string(step.lineNumber) + ": expected " + ShowBytes(step.command) +
             ", but the program sent " +
             (m_received.empty() ? std::string("nothing more") : ShowBytes(m_received)));
        m_next = m_trace.steps.size();
        m_received.clear();
    } else if (!m_received.empty()) {
        Tick(m_lastByteMs + kQuietMs);
    }
}

void Replay::KeptOpen(int silentMs) {
    if (!m_trace.ended) return;
    Note("after line " + std::to_string(m_trace.lineCount) +
         ", where the recorded run ended: the program kept the port open, silent for " +
         std::to_string(silentMs / 1000) + " s");
}

bool Replay::Done() const {
    return m_next >= m_trace.steps.size() && m_received.empty();
}

std::string Replay::Complete() {
    std::string answer = m_trace.steps[m_next].reply;
    ++m_next;
    ++m_answered;
    m_received.clear();
    m_differs = false;
    return answer;
}

void Replay::Note(std::string difference) {
    m_differences.push_back(std::move(difference));
}

}  // namespace sim
