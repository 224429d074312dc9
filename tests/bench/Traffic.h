#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sim/Log.h"

namespace bench_test {

// The pauses the protocol mandates.
inline constexpr double kReadyPollPauseMs = 300;
inline constexpr double kTypeQueryWaitMs = 100;
inline constexpr int kBitsPerByte = 10;

double WireMs(std::size_t bytes, int baud);

// The host's bytes: how many, and their time on the wire at the port's speed then.
struct HostWire {
    std::size_t bytes = 0;
    double ms = 0;
};

// The least time of the traffic in the simulator's log, apart from the host's bytes: the pause
// before each ready poll, the wait before reading each type answer, and every reply byte at the
// instrument's speed when it answered.
struct Protocol {
    int polls = 0;
    int typeQueries = 0;
    int commands = 0;
    std::size_t replyBytes = 0;
    double replyMs = 0;
    // The simulator writes a reply's first byte at once and each later one after waiting whole
    // milliseconds towards its slot, so a reply of n bytes may be complete after
    // (n - 1) byte times less 1 ms: earlier than a real line would deliver it.
    double simReplyMs = 0;
    int unanswered = 0;  // dropped, silenced or unsent: the least time would not hold

    double PausesMs() const { return polls * kReadyPollPauseMs + typeQueries * kTypeQueryWaitMs; }
    double LeastMs(const HostWire& host) const { return PausesMs() + replyMs + host.ms; }
    double SimLeastMs(const HostWire& host) const { return PausesMs() + simReplyMs + host.ms; }
};

// The traffic from entry `first` on, with the instrument at `baud` then.
Protocol ReadTraffic(const std::vector<sim::LogEntry>& entries, std::size_t first, int baud);

}  // namespace bench_test
