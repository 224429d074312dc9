#pragma once

// One port's work for the command line, and what came of it.

#include <optional>
#include <string>
#include <vector>

#include "cli/Profile.h"

namespace device {
class LineTrace;
}

namespace cli {

class Console;

enum class Action {
    Find,    // Find any, then the type and version of what answered
    Read,    // pass through the steps and turn what they show into a profile
    Check,   // read and compare with a profile
    DryRun,  // as apply, but stop after the comparison
    Apply,   // set the profile's choices on the steps and Finish when anything differs
};

struct PortJob {
    std::string port;
    std::optional<int> baud;  // connect rate; none: Find any
    Action action = Action::Read;
    const Profile* wanted = nullptr;     // check, dry run, apply
    device::LineTrace* trace = nullptr;  // --trace, or null
    Console* console = nullptr;
};

struct PortResult {
    std::string port;
    std::string model;     // veltrix, morvane, dravell, oxq; "" when none answered
    std::string firmware;  // the version text last read; "" when the steps asked none
    bool changed = false;
    bool saved = false;
    bool ok = false;
    // The differences and notes, then the message boxes in order.
    std::vector<std::string> messages;
    std::string error;
    std::optional<Profile> profile;  // read
    std::string baud;                // find: the rate and line format that answered
    std::string line;
};

// Serves one port on the calling thread, with a host, clock and port list of the thread's own.
PortResult RunPort(const PortJob& job);

}  // namespace cli
