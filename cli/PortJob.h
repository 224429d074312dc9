#pragma once

// One port's work for the command line, and what came of it.

#include <optional>
#include <string>
#include <vector>

#include "cli/Differences.h"
#include "cli/Profile.h"

namespace device {
class LineTrace;
}
namespace support {
class Clock;
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
    support::Clock* clock = nullptr;  // the port's clock; null: real time
};

// An exchange that failed and the setting it cost ("" for one that serves none, the save).
struct Failure {
    std::string setting;
    std::string command;
    std::string cause;
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
    // The first failure, naming the setting, the command and the cause.
    std::string error;
    std::vector<Difference> differences;  // check, dry run, apply: in the profile's key order
    std::vector<Failure> failures;        // every exchange that failed, in order
    std::optional<Profile> profile;       // read: only what was read
    std::string baud;                     // find: the rate and line format that answered
    std::string line;
};

// Serves one port on the calling thread, with a host, clock and port list of the thread's own.
PortResult RunPort(const PortJob& job);

}  // namespace cli
