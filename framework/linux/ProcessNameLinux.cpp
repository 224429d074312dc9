#include "framework/ProcessName.h"

#include <cerrno>

namespace framework {

std::string ProcessName() {
    // Set by the C library.
    return program_invocation_short_name != nullptr ? program_invocation_short_name : "";
}

std::string ProgramBaseName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

}  // namespace framework
