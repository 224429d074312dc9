#pragma once

#include <string>
#include <vector>

namespace cli_test {

// The program run in this process, as from a shell: its exit code and what it printed.
struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};
CliRun RunCli(const std::vector<std::string>& args);

// Writes text to a new file in the test's temporary folder and returns its path.
std::string WriteFile(const std::string& name, const std::string& text);

}  // namespace cli_test
