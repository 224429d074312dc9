#pragma once

// What the command line prints when the ports are done: a table with one row per port, or
// with --json one document
//   {"results": [{"port", "model", "firmware", "changed", "saved", "ok", "messages", "error",
//                 "differences", "failures"}]}
// (find adds "baud" and "line", read adds "profile").

#include <string>
#include <vector>

#include "cli/PortJob.h"

namespace cli {

std::string ResultsJson(const std::vector<PortResult>& results);
// {"ports": [labels as step 1 shows them]}
std::string PortsJson(const std::vector<std::string>& labels);
// port, model, firmware, changed or unchanged, saved or not saved (a check: matches or differs
// from the profile), then the messages and the error of the port.
std::string SummaryTable(const std::vector<PortResult>& results, bool comparing = false);
// One line per differing setting of each port: "/dev/ttyUSB0: filters: 405 ... -> 405 ...".
std::string DifferenceLines(const std::vector<PortResult>& results);
// port, baud rate, line, model, firmware of each instrument found.
std::string FoundTable(const std::vector<PortResult>& results);

}  // namespace cli
