#include "app/Options.h"

#include "support/PortPath.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace app {
namespace {

// Options that QApplication takes itself, with and without a value. Qt accepts them with one
// dash or two.
constexpr std::array<std::string_view, 13> kQtOptionsWithValue = {
    "platform",    "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "style",  "stylesheet",
    "display",     "geometry",           "qmljsdebugger",
};
constexpr std::array<std::string_view, 5> kQtFlags = {"reverse", "widgetcount", "nograb", "dograb",
                                                      "sync"};

// "/Automation", "-embedding", "/RegServer", ...: the framework's option syntax, any case.
bool IsAutomationOption(std::string_view argument) {
    if (argument.size() < 2 || (argument[0] != '/' && argument[0] != '-')) return false;
    const std::string name(argument.substr(1));
    for (const char* option : {"Automation", "Embedding", "RegServer", "UnregServer"}) {
        if (strcasecmp(name.c_str(), option) == 0) return true;
    }
    return false;
}

// The name of a Qt option without its dashes, or nothing.
std::optional<std::string_view> QtOptionName(std::string_view argument) {
    if (argument.size() < 2 || argument[0] != '-') return std::nullopt;
    argument.remove_prefix(argument[1] == '-' ? 2 : 1);
    return argument;
}

template <std::size_t N>
bool Contains(const std::array<std::string_view, N>& names, std::string_view name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

ParsedOptions ParseOptions(const std::vector<std::string>& arguments) {
    ParsedOptions parsed;
    Options& o = parsed.options;
    const auto fail = [&parsed](std::string message) {
        parsed.error = std::move(message) + "\nTry --help for the options.";
        return parsed;
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string name = argument;
        std::optional<std::string> joined;
        if (argument.rfind("--", 0) == 0) {
            if (const auto eq = argument.find('='); eq != std::string::npos) {
                name = argument.substr(0, eq);
                joined = argument.substr(eq + 1);
            }
        }
        // The value of an option: joined with '=' or the next argument.
        const auto value = [&]() -> std::optional<std::string> {
            if (joined) return joined;
            if (i + 1 < arguments.size()) return arguments[++i];
            return std::nullopt;
        };

        if (name == "--port" || name == "--trace" || name == "--profile") {
            const std::optional<std::string> v = value();
            if (!v || v->empty()) {
                return fail("The option " + name + " needs " +
                            (name == "--port" ? "the path of a serial port." : "a file name."));
            }
            if (name == "--port") {
                o.ports.push_back(support::PortPath(*v));
            } else if (name == "--trace") {
                o.traceFile = *v;
            } else {
                o.profileFile = *v;
            }
        } else if ((name == "--simulate" || name == "--help" || name == "-h" ||
                    name == "--version") &&
                   !joined) {
            if (name == "--simulate") o.simulate = true;
            if (name == "--help" || name == "-h") o.help = true;
            if (name == "--version") o.version = true;
        } else if (IsAutomationOption(argument)) {
            continue;  // read by the application object
        } else if (const auto qt = QtOptionName(name); qt && Contains(kQtOptionsWithValue, *qt)) {
            if (!joined && !value()) return fail("The option " + argument + " needs a value.");
        } else if (qt && Contains(kQtFlags, *qt) && !joined) {
            continue;
        } else if (!argument.empty() && (argument[0] == '-' || argument[0] == '/')) {
            return fail("Unknown option: " + argument);
        } else {
            return fail("Unexpected argument: " + argument);
        }
    }
    return parsed;
}

}  // namespace app
