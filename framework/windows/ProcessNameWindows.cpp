#include "framework/ProcessName.h"

#include <windows.h>

#include <vector>

namespace framework {

std::string ProcessName() {
    // The module path may be longer than MAX_PATH: the buffer grows until it fits.
    std::vector<char> path(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), path.size());
        if (length == 0) return "";
        if (length < path.size()) return ProgramBaseName(std::string(path.data(), length));
        path.resize(path.size() * 2);
    }
}

std::string ProgramBaseName(const std::string& path) {
    std::string base = path.substr(path.find_last_of("/\\") + 1);
    constexpr std::size_t kExtension = 4;
    if (base.size() > kExtension &&
        _stricmp(base.c_str() + base.size() - kExtension, ".exe") == 0) {
        base.resize(base.size() - kExtension);
    }
    return base;
}

}  // namespace framework
