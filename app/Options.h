#pragma once

// The program's command line: our own options, the automation options of the framework
// ("/Automation", "-Embedding", ... which Application::HasOption reads), and Qt's own options
// (such as -platform offscreen), which pass through to QApplication.
//   app::ParsedOptions parsed = app::ParseOptions({"--simulate", "--port", "/dev/pts/3"});
//   if (!parsed.error.empty()) { std::cerr << parsed.error; return 2; }

#include <string>
#include <vector>

namespace app {

struct Options {
    // Ports that discovery cannot see (a pty, say), listed first, in this order.
    std::vector<std::string> ports;
    // Start the instrument simulator on a pty and list it before every other port.
    bool simulate = false;
    // Where every read and write on the serial line is logged; empty for nowhere.
    std::string traceFile;
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    Options options;
    // Empty when the command line was understood; otherwise what is wrong with it.
    std::string error;
};

// arguments: the command line without the program name. Values may follow their option or be
// joined to it with '=' ("--port=/dev/pts/3").
ParsedOptions ParseOptions(const std::vector<std::string>& arguments);

// The text of --help, the platform's (app/linux/Usage.cpp, app/windows/Usage.cpp).
std::string UsageText(const std::string& programName);

}  // namespace app
