#include "cli/Console.h"

#include <cstdio>
#include <sstream>

#include "cli/Text.h"

namespace cli {

void Console::Box(const std::string& port, const std::string& text) {
    if (!m_quiet) Lines(port, text);
}

void Console::Progress(const std::string& port, const std::string& text) {
    if (m_quiet || !m_progress) return;
    Lines(port, text);
}

void Console::Error(const std::string& text) {
    const std::lock_guard guard(m_lock);
    std::fprintf(stderr, "veltrix-settings: %s\n", Printable(text).c_str());
}

void Console::Lines(const std::string& port, const std::string& text) {
    const std::lock_guard guard(m_lock);
    std::istringstream lines(Printable(text));
    for (std::string line; std::getline(lines, line);)
        std::fprintf(stderr, "%s: %s\n", port.c_str(), line.c_str());
}

}  // namespace cli
