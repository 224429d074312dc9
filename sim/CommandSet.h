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

// The instrument's side of every command: executes `command` on `state` and returns the one
// reply. Setting commands answer "+" when done and "-" when refused (malformed arguments, a
// value out of range, a command the current mode or firmware does not offer, a store that
// failed); unknown commands answer "-" as well.
Answer Respond(State& state, std::string_view command, const StoreFunction& store);

}  // namespace sim
