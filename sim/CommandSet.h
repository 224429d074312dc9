#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "sim/State.h"

namespace sim {

// Keeps the state that "DB CNF WRITE" stores; false when it could not be kept.
using StoreFunction = std::function<bool(const State&)>;

struct Answer {
    std::string reply;
    bool modeChanged = false;  // "DB CNF RCMODE " switched the mode or the line
};

// The error replies: a command that the current mode does not have (each mode has its own
// command set: the native one, and the emulations' one), and a checksummed frame whose
// checksum does not fit.
inline constexpr std::string_view kUnknownCommandReply = "ERR 20 unknown command";
inline constexpr std::string_view kChecksumErrorReply = "ERR 21 checksum error";

// The instrument's side of every command: executes `command` on `state` and returns the one
// reply. A command the current mode does not have gets kUnknownCommandReply. Setting commands
// answer "+" when done and "-" when refused (malformed arguments, a value out of range, plate
// defaults below firmware 3.10, a store that failed).
Answer Respond(State& state, std::string_view command, const StoreFunction& store);

}  // namespace sim
