#include "sim/Options.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <string_view>

namespace sim {
namespace {

bool ToInt(std::string_view text, int& value) {
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

// "405-450-492-550-600-620", "405/450/492/550", "405 450 ..." or with commas.
bool ToFilters(std::string_view text, std::vector<int>& filters) {
    filters.clear();
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("-/ ,");
        int value = 0;
        if (!ToInt(text.substr(0, end), value)) return false;
        filters.push_back(value);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return true;
}

using Apply = bool (*)(std::string_view value, ProgramOptions& options, std::string& error);

struct Option {
    std::string_view name;
    std::string_view alias;
    std::string_view argument;  // empty: takes no value
    std::string_view help;
    Apply apply;
};

// Adds a setting that is checked at once on a default state, so a bad value is reported here.
bool AddSetting(ProgramOptions& options, std::function<void(State&)> setting, std::string& error) {
    State probe;
    setting(probe);
    error = Validate(probe);
    if (!error.empty()) return false;
    options.settings.push_back(std::move(setting));
    return true;
}

bool Fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

const std::array<Option, 15> kOptions{{
    {"--mode", "--model", "MODE",
     "instrument mode: 0 veltrix, 1 morvane, 2 dravell, 3 oxq (default 0)",
     [](std::string_view v, ProgramOptions& o, std::string& e) {
         const int mode = ModeFromText(v);
         if (mode < 0) return Fail(e, "unknown mode '" + std::string(v) + "'");
         return AddSetting(
             o, [mode](State& s) { s.mode = mode; }, e);
     }},
    {"--baud", "", "RATE", "baud rate, 300 to 38400 (default 9600)",
     [](std::string_view v, ProgramOptions& o, std::string& e) {
         int baud = 0;
         if (!ToInt(v, baud)) return Fail(e, "baud rate must be a number");
         return AddSetting(
             o, [baud](State& s) { s.baud = baud; }, e);
     }},
    {"--firmware", "--version", "TEXT", "firmware version text (default 'V 3.10')",
     [](std::string_view v, ProgramOptions& o, std::string& e) {
         return AddSetting(
             o, [text = std::string(v)](State& s) { s.version = text; }, e);
     }},
    {"--filters", "", "LIST", "filter table, 4 or 6 values, e.g. 405-450-492-550-600-620",
     [](std::string_view v, ProgramOptions& o, std::string& e) {
         std::vector<int> filters;
         if (!ToFilters(v, filters)) return Fail(e, "filter table must be numbers");
         return AddSetting(
             o, [filters](State& s) { s.filters = filters; }, e);
     }},
    {"--filter-form", "", "FORM", "separator of the filter table: dash, slash or blank",
     [](std::string_view v, ProgramOptions& o, std::string& e) {
         const char c = v == "dash" ? '-' : v == "slash" ? '/' : v == "blank" ? ' ' : '\0';
         if (c == '\0') return Fail(e, "filter form must be dash, slash or blank");
         return AddSetting(
             o, [c](State& s) { s.filterSeparator = c; }, e);
     }},
    {"--slide", "", "KIND", "answer to FC 0 after '+': I six positions, ? no slide (default I)",
     [](std::string_view v, ProgramOptions& o, std::string& e) {
         if (v.size() != 1) return Fail(e, "slide kind must be one character");
         return AddSetting(
             o, [c = v[0]](State& s) { s.slideKind = c; }, e);
     }},
    {"--range", "", "MIN-MAX", "allowed filter values (default 340-750)",
     [](std::string_view v, ProgramOptions& o, std::string& e) {
         const std::size_t dash = v.find('-');
         int low = 0;
         int high = 0;
         if (dash == std::string_view::npos || !ToInt(v.substr(0, dash), low) ||
             !ToInt(v.substr(dash + 1), high)) {
             return Fail(e, "range must be MIN-MAX");
         }
         return AddSetting(
             o, [low, high](State& s) { s.filterMin = low, s.filterMax = high; }, e);
     }},
    {"--fault", "", "FAULT", "inject a fault (repeatable; see FAULTS)",
     [](std::string_view v, ProgramOptions& o, std::string& e) {
         Fault fault;
         if (!ParseFault(v, fault, e)) return false;
         o.faults.push_back(std::move(fault));
         return true;
     }},
    {"--pace", "", "", "send every reply at the baud rate (same as --fault pace)",
     [](std::string_view, ProgramOptions& o, std::string&) {
         Fault pace;
         pace.kind = FaultKind::Pace;
         o.faults.push_back(std::move(pace));
         return true;
     }},
    {"--scenario", "", "FILE", "read faults from FILE, one FAULT a line, # starts a comment",
     [](std::string_view v, ProgramOptions& o, std::string&) {
         o.scenarioFiles.emplace_back(v);
         return true;
     }},
    {"--state", "", "FILE", "read the state from FILE at start and write it there on DB CNF WRITE",
     [](std::string_view v, ProgramOptions& o, std::string&) {
         o.stateFile = v;
         return true;
     }},
    {"--log", "", "FILE", "append one JSON line per command, reply and dropped input to FILE",
     [](std::string_view v, ProgramOptions& o, std::string&) {
         o.logFile = v;
         return true;
     }},
    {"--link", "", "PATH", "make PATH a symbolic link to the pty (removed at exit)",
     [](std::string_view v, ProgramOptions& o, std::string&) {
         o.link = v;
         return true;
     }},
    {"--replay", "", "TRACE",
     "play the instrument's side of a trace written by --trace (see REPLAY)",
     [](std::string_view v, ProgramOptions& o, std::string&) {
         o.replayFile = v;
         return true;
     }},
    {"--help", "-h", "", "show this help and exit",
     [](std::string_view, ProgramOptions& o, std::string&) {
         o.help = true;
         return true;
     }},
}};

const Option* Find(std::string_view name) {
    for (const Option& o : kOptions) {
        if (o.name == name || (!o.alias.empty() && o.alias == name)) return &o;
    }
    return nullptr;
}

}  // namespace

bool ParseOptions(const std::vector<std::string>& args, ProgramOptions& options,
                  std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::string_view value;
        const std::size_t eq = arg.find('=');
        const bool inlineValue = arg.starts_with("--") && eq != std::string_view::npos;
        if (inlineValue) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
        }
        // "--version" with no value after it asks for the program's version.
        if (arg == "--version" && !inlineValue &&
            (i + 1 >= args.size() || args[i + 1].starts_with("-"))) {
            options.version = true;
            continue;
        }
        const Option* option = Find(arg);
        if (option == nullptr) return Fail(error, "unknown option '" + std::string(arg) + "'");
        if (option->argument.empty() && inlineValue) {
            return Fail(error, "option '" + std::string(arg) + "' takes no value");
        }
        if (!option->argument.empty() && !inlineValue) {
            if (i + 1 >= args.size()) {
                return Fail(error, "option '" + std::string(arg) + "' needs " +
                                       std::string(option->argument));
            }
            value = args[++i];
        }
        if (!option->apply(value, options, error)) {
            error = std::string(arg) + ": " + error;
            return false;
        }
    }
    if (!options.replayFile.empty() &&
        (!options.settings.empty() || !options.faults.empty() || !options.scenarioFiles.empty() ||
         !options.stateFile.empty() || !options.logFile.empty())) {
        return Fail(error,
                    "--replay plays what was recorded: it takes no instrument settings, faults, "
                    "state or log");
    }
    return true;
}

bool ReadScenario(const std::string& path, std::vector<Fault>& faults, std::string& error) {
    std::ifstream in(path);
    if (!in) return Fail(error, path + ": cannot open the scenario file");
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;
        Fault fault;
        if (!ParseFault(std::string_view(line).substr(start), fault, error)) {
            error = path + ":" + std::to_string(number) + ": " + error;
            return false;
        }
        faults.push_back(std::move(fault));
    }
    return true;
}

std::string HelpText() {
    std::string text =
        "Usage: veltrix-sim [OPTION]...\n"
        "Simulates the Veltrix microplate reader on a pseudo-terminal. The first line on standard\n"
        "output is the path of the pty to open; the simulator runs until SIGINT or SIGTERM.\n"
        "It answers only while the client's baud rate and stop bits match its own line\n"
        "(2 stop bits in OXQ mode, standing for 7 data bits, even parity; 1 otherwise).\n\n"
        "Options (--name VALUE or --name=VALUE):\n";
    for (const Option& o : kOptions) {
        std::string left = "  " + std::string(o.name);
        if (!o.alias.empty()) left += ", " + std::string(o.alias);
        if (!o.argument.empty()) left += " " + std::string(o.argument);
        left.resize(std::max<std::size_t>(left.size() + 1, 24), ' ');
        text += left + std::string(o.help) + "\n";
    }
    text +=
        "\nSettings given here override those read from the --state file; a missing state\n"
        "file means the defaults. --version with no value after it shows the program's\n"
        "version and exits.\n\n"
        "BEHAVIOUR: Veltrix mode takes commands as STX text ETX checksum CR and answers in the\n"
        "same frame; it answers a frame with a wrong checksum \"ERR 21 checksum error\", and\n"
        "ignores short frames other than the type queries. The other modes take and answer\n"
        "STX text CR. The type queries STX ! CR and STX BR CR are answered STX type-code CR in\n"
        "every mode. Veltrix mode has the native commands (RV0, GW, BA, RN, RM, DN, DM, DF),\n"
        "the other modes the emulations' ones (V, I, H, SS M_MODE, MM, DB PLT SET, and FC 0\n"
        "in OXQ mode); a command the mode does not have is answered \"ERR 20 unknown\n"
        "command\". Refused settings are answered \"-\": malformed arguments, values out of\n"
        "range, DB PLT SET below firmware 3.10, DB CNF WRITE when the state file cannot be\n"
        "written. DB CNF RCMODE answers \"+\" on the old line, then switches.\n"
        "The state file is one JSON object with the fields mode, baud, version, filters,\n"
        "filterSeparator, slideKind, filterMin, filterMax, flashes, points, distance,\n"
        "measurementMode and plate. The log holds one JSON object a line: t (milliseconds since\n"
        "the epoch), dir (rx command, tx reply, drop input on a mismatched line), text, note.\n\n"
        "FAULTS: FAULT is KIND[=VALUE][,times=N][,on=COMMAND]. The fault applies to commands\n"
        "beginning with COMMAND (default: all, or the ready polls for busy and err) and fires\n"
        "N times (default: always). on= comes last and may hold commas; VALUE may not.\n"
        "KIND is one of:\n" +
        FaultHelp() +
        "Examples: --fault busy,times=3   --fault err,times=1   --fault silence,on=DB CNF WRITE\n"
        "          --fault delay=800,on=FC 0   --fault reply=-,on=DM\n\n"
        "REPLAY: --replay TRACE answers each command the program sends with the bytes recorded\n"
        "after it, and checks the program's speed and stop bits against the recorded line\n"
        "settings. Where the program sends something else, it reports the trace's line with the\n"
        "expected and the received bytes on standard error, answers as recorded, and goes on.\n"
        "It ends by itself once the program has closed the port after the last recorded\n"
        "exchange, or has sent nothing for 10 s after it; before that, once the program has\n"
        "kept the port closed for 10 s, naming the recorded commands that never came.\n\n"
        "Exit status: 0 after a signal or a replay without differences, 1 when the pty or a\n"
        "file cannot be used, 2 for a bad command line or a trace that cannot be read, 3 when\n"
        "the program's traffic differed from the trace.\n";
    return text;
}

}  // namespace sim
