#pragma once

// Standard error of the command line, shared by the threads that serve the ports: message
// boxes become lines there (unless quiet), and progress is shown while standard error is a
// terminal. Each line is written whole and names its port.

#include <mutex>
#include <string>

namespace cli {

class Console {
public:
    // quiet: no box lines and no progress; progress: show it (a terminal).
    Console(bool quiet, bool progress) : m_quiet(quiet), m_progress(progress) {}

    // A message box's text, a line per line of it.
    void Box(const std::string& port, const std::string& text);
    // What a port is doing now (step, attempt).
    void Progress(const std::string& port, const std::string& text);
    // Always shown.
    void Error(const std::string& text);

private:
    void Lines(const std::string& port, const std::string& text);

    const bool m_quiet;
    const bool m_progress;
    std::mutex m_lock;
};

}  // namespace cli
