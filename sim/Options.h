#pragma once

#include <functional>
#include <string>
#include <vector>

#include "sim/Faults.h"
#include "sim/State.h"

namespace sim {

// The command line of veltrix-sim.
struct ProgramOptions {
    bool help = false;
    bool version = false;  // the program's own version, not the firmware's
    // Play this recorded trace instead of simulating; no instrument settings go with it.
    std::string replayFile;
    std::string link;
    std::string stateFile;
    std::string logFile;
    std::vector<std::string> scenarioFiles;
    std::vector<Fault> faults;
    // The instrument settings given on the command line, in order; they are applied over the
    // state read from the state file, so the command line wins.
    std::vector<std::function<void(State&)>> settings;
};

// False with a message for an unknown option, a missing or a malformed value.
bool ParseOptions(const std::vector<std::string>& args, ProgramOptions& options,
                  std::string& error);
// Reads one fault per line; blank lines and lines starting with '#' are skipped.
bool ReadScenario(const std::string& path, std::vector<Fault>& faults, std::string& error);
std::string HelpText();

}  // namespace sim
