#include "app/linux/ServiceFile.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/AutomationNames.h"
#include "support/SafeFile.h"

namespace app {
namespace {

constexpr std::size_t kMaxFileBytes = 128 * 1024;

std::string FileName() {
    return std::string(kBusName) + ".service";
}

// For the bus's command-line splitting, which follows the shell's quoting.
std::string QuoteForCommandLine(const std::string& path) {
    if (path.find_first_of(" \t\n\r'\"\\$`") == std::string::npos) return path;
    // Single quotes keep everything but a single quote, which closes, escapes and reopens.
    std::string quoted = "'";
    for (const char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// A value of the file: the bus reads \\, \s, \t, \n and \r, and refuses any other escape.
std::string EscapeValue(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\n':
                escaped += "\\n";
                break;
            case '\r':
                escaped += "\\r";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

std::optional<std::string> UnescapeValue(std::string_view text) {
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            value += text[i];
            continue;
        }
        if (++i == text.size()) return std::nullopt;
        switch (text[i]) {
            case '\\':
                value += '\\';
                break;
            case 's':
                value += ' ';
                break;
            case 't':
                value += '\t';
                break;
            case 'n':
                value += '\n';
                break;
            case 'r':
                value += '\r';
                break;
            default:
                return std::nullopt;
        }
    }
    return value;
}

// The first word of a command line, with the shell's quotes and backslashes.
std::optional<std::string> FirstWord(std::string_view line) {
    std::size_t i = line.find_first_not_of(" \t");
    if (i == std::string_view::npos) return std::nullopt;
    std::string word;
    for (; i < line.size() && line[i] != ' ' && line[i] != '\t'; ++i) {
        const char c = line[i];
        if (c == '\'') {
            const std::size_t end = line.find('\'', i + 1);
            if (end == std::string_view::npos) return std::nullopt;
            word += line.substr(i + 1, end - i - 1);
            i = end;
        } else if (c == '"') {
            for (++i; i < line.size() && line[i] != '"'; ++i) {
                if (line[i] == '\\' && i + 1 < line.size() &&
                    std::string_view("$`\"\\\n").find(line[i + 1]) != std::string_view::npos) {
                    ++i;
                }
                word += line[i];
            }
            if (i == line.size()) return std::nullopt;
        } else if (c == '\\') {
            if (++i == line.size()) return std::nullopt;
            word += line[i];
        } else {
            word += c;
        }
    }
    return word;
}

bool ValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        }
        i += length;
    }
    return true;
}

// The program that the file at `path` starts; nothing when it is missing or not such a file.
std::optional<std::string> ProgramOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string text(kMaxFileBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxFileBytes) return std::nullopt;
    return ServiceFileProgram(text);
}

bool Exists(const std::optional<std::string>& program) {
    return program && !program->empty() && access(program->c_str(), X_OK) == 0;
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
    return base + "/dbus-1/services/" + FileName();
}

std::vector<std::string> SystemServiceFolders() {
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    std::string list = dirs != nullptr && dirs[0] != '\0' ? dirs : "/usr/local/share:/usr/share";
    list += ":/usr/share";
    std::vector<std::string> folders;
    std::istringstream parts(list);
    for (std::string dir; std::getline(parts, dir, ':');) {
        if (!dir.empty() && dir[0] == '/') folders.push_back(dir + "/dbus-1/services");
    }
    return folders;
}

std::string ServiceFileText(const std::string& executable) {
    return std::string("[D-BUS Service]\nName=") + kBusName +
           "\nExec=" + EscapeValue(QuoteForCommandLine(executable)) + " -Automation\n";
}

std::optional<std::string> ServiceFileProgram(const std::string& text) {
    std::istringstream lines(text);
    bool named = false;
    std::optional<std::string> exec;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == std::string("Name=") + kBusName) named = true;
        if (line.starts_with("Exec=")) exec = UnescapeValue(std::string_view(line).substr(5));
    }
    if (!named || !exec) return std::nullopt;
    return FirstWord(*exec);
}

bool UpdateServiceFile(const std::string& path, const std::vector<std::string>& systemFolders,
                       const std::string& executable, std::string& error) {
    for (const std::string& folder : systemFolders) {
        if (Exists(ProgramOf(folder + "/" + FileName()))) return true;
    }
    if (Exists(ProgramOf(path))) return true;
    if (path.empty()) {
        error = "neither XDG_DATA_HOME nor HOME is set";
        return false;
    }
    if (!ValidUtf8(executable)) {
        error = "the program's path " + executable + " is not UTF-8, which the bus requires";
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    if (ec) {
        error = "cannot make the folder for " + path + ": " + ec.message();
        return false;
    }
    return support::WriteFileAtomically(path, ServiceFileText(executable), error);
}

bool RemoveServiceFile(const std::string& path, std::string& error) {
    std::error_code failure;
    std::filesystem::remove(path, failure);
    if (!failure) return true;
    error = path + ": " + failure.message();
    return false;
}

}  // namespace app
