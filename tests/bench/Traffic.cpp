#include "tests/bench/Traffic.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace bench_test {
namespace {

std::size_t HexByteCount(const std::string& note, bool& sent) {
    std::istringstream tokens(note);
    std::string token;
    std::size_t count = 0;
    while (tokens >> token && token.size() == 2)
        ++count;
    sent = note.find("not sent") == std::string::npos;
    return count;
}

}  // namespace

double WireMs(std::size_t bytes, int baud) {
    return static_cast<double>(bytes) * kBitsPerByte * 1000.0 / baud;
}

Protocol ReadTraffic(const std::vector<sim::LogEntry>& entries, std::size_t first, int baud) {
    Protocol p;
    std::string lastCommand;
    for (std::size_t i = first; i < entries.size(); ++i) {
        const sim::LogEntry& e = entries[i];
        if (e.direction == sim::Direction::Dropped) ++p.unanswered;
        if (e.direction == sim::Direction::Received) {
            lastCommand = e.text;
            ++p.commands;
            if (e.text == "??" || e.text == "?") ++p.polls;
            if (e.text == "!") ++p.typeQueries;
            if (!e.note.empty()) ++p.unanswered;
        }
        if (e.direction != sim::Direction::Sent) continue;
        bool sent = true;
        const std::size_t bytes = HexByteCount(e.note, sent);
        if (!sent) ++p.unanswered;
        p.replyBytes += bytes;
        p.replyMs += WireMs(bytes, baud);
        if (bytes > 0) p.simReplyMs += std::max(0.0, WireMs(bytes - 1, baud) - 1.0);
        // An accepted mode change answers at the old speed; the instrument talks at the new
        // one from then on.
        int mode = 0;
        int newBaud = 0;
        if (e.text == "+" &&
            std::sscanf(lastCommand.c_str(), "DB CNF RCMODE %d %d", &mode, &newBaud) == 2) {
            baud = newBaud;
        }
    }
    return p;
}

}  // namespace bench_test
