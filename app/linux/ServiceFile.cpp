#include "app/linux/ServiceFile.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/AutomationNames.h"

namespace app {
namespace {

std::string QuoteForBus(const std::string& path) {
    if (path.find_first_of(" \t\n'\"\\$`") == std::string::npos) return path;
    // Single quotes keep everything but a single quote, which closes, escapes and reopens.
    std::string quoted = "'";
    for (const char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : std::string();
}

}  // namespace

std::string ServiceFilePath() {
    std::string base;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/') {
        base = dataHome;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] != '\0') {
        base = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    return base + "/dbus-1/services/" + kBusName + ".service";
}

std::string ServiceFileText(const std::string& executable) {
    return std::string("[D-BUS Service]\nName=") + kBusName + "\nExec=" + QuoteForBus(executable) +
           " -Automation\n";
}

bool WriteServiceFile(const std::string& path, const std::string& executable, std::string& error) {
    namespace fs = std::filesystem;
    if (path.empty()) {
        error = "neither XDG_DATA_HOME nor HOME is set";
        return false;
    }
    const std::string text = ServiceFileText(executable);
    if (ReadAll(path) == text) return true;

    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (ec) {
        error = "cannot make the folder for " + path + ": " + ec.message();
        return false;
    }
    const std::string temporary = path + ".tmp" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out) {
            error = "cannot write " + temporary + ": " + std::strerror(errno);
            fs::remove(temporary, ec);
            return false;
        }
    }
    fs::rename(temporary, path, ec);
    if (ec) {
        error = "cannot replace " + path + ": " + ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

bool RemoveServiceFile(const std::string& path, std::string& error) {
    std::error_code failure;
    std::filesystem::remove(path, failure);
    if (!failure) return true;
    error = path + ": " + failure.message();
    return false;
}

}  // namespace app
