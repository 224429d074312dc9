#include "sim/CommandSet.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <vector>

namespace sim {
namespace {

constexpr std::string_view kDone = "+";
constexpr std::string_view kRefused = "-";

// The blank-separated parts of an argument text; two blanks in a row give an empty part.
std::vector<std::string_view> Parts(std::string_view text) {
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        parts.push_back(text.substr(0, text.find(' ')));
        text.remove_prefix(std::min(text.size(), parts.back().size() + 1));
    }
    return parts;
}

// Blank-separated integers; nullopt when a part is no integer or the count differs.
std::optional<std::vector<int>> Numbers(std::string_view text, std::size_t count) {
    std::vector<int> numbers;
    for (const std::string_view part : Parts(text)) {
        int value = 0;
        const char* end = part.data() + part.size();
        const auto result = std::from_chars(part.data(), end, value);
        if (part.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
        numbers.push_back(value);
    }
    if (numbers.size() != count) return std::nullopt;
    return numbers;
}

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

std::string Reply(bool ok) {
    return std::string(ok ? kDone : kRefused);
}

// Each position holds 0 (empty) or a value of the slide's range, and a four-position slide takes no
// filter at positions 5 and 6.
Answer DefineFilters(State& s, std::string_view args) {
    const auto values = Numbers(args, 6);
    if (!values) return {Reply(false)};
    for (std::size_t i = 0; i < values->size(); ++i) {
        const int v = (*values)[i];
        const bool fits = v == 0 || (i < s.filters.size() && InRange(v, s.filterMin, s.filterMax));
        if (!fits) return {Reply(false)};
    }
    s.filters.assign(values->begin(),
                     values->begin() + static_cast<std::ptrdiff_t>(s.filters.size()));
    return {Reply(true)};
}

Answer SetFlashes(State& s, std::string_view args) {
    const auto values = Numbers(args, 1);
    if (!values || !InRange((*values)[0], 1, 55)) return {Reply(false)};
    s.flashes = (*values)[0];
    s.measurementMode = PresetIndex(s.flashes, s.points, s.distance);
    return {Reply(true)};
}

Answer SetPoints(State& s, std::string_view args) {
    const auto values = Numbers(args, 2);
    if (!values || !InRange((*values)[0], 1, 40) || !InRange((*values)[1], 175, 9000)) {
        return {Reply(false)};
    }
    s.points = (*values)[0];
    s.distance = (*values)[1];
    s.measurementMode = PresetIndex(s.flashes, s.points, s.distance);
    return {Reply(true)};
}

// "MM" and the index with no blank between; Custom (3) keeps the values as they are.
Answer SetMeasurementMode(State& s, std::string_view args) {
    if (args.size() != 1 || args[0] < '0' || args[0] > '0' + kCustomMeasurement) {
        return {Reply(false)};
    }
    s.measurementMode = args[0] - '0';
    if (s.measurementMode != kCustomMeasurement) {
        const Measurement& m = kMeasurementPresets[static_cast<std::size_t>(s.measurementMode)];
        s.flashes = m.flashes;
        s.points = m.points;
        s.distance = m.distance;
    }
    return {Reply(true)};
}

bool HasPlateSettings(const State& s) {
    return VersionNumber(s.version) >= kPlateSettingsVersion;
}

Answer PlateDefaults(State& s, std::string_view) {
    if (!HasPlateSettings(s)) return {Reply(false)};
    std::string text;
    for (int p : s.plate)
        text += (text.empty() ? "" : " ") + std::to_string(p);
    return {text};
}

// Plate-movement defaults exist from firmware 3.10 on; older firmware refuses them.
Answer SetPlateDefaults(State& s, std::string_view args) {
    const auto values = Numbers(args, 4);
    if (!HasPlateSettings(s) || !values) return {Reply(false)};
    for (int v : *values) {
        if (!InRange(v, 1, 3)) return {Reply(false)};
    }
    std::copy(values->begin(), values->end(), s.plate.begin());
    return {Reply(true)};
}

constexpr std::array<std::string_view, kModeCount> kModeArguments{"0", "1", "2", "4"};

// "m baud P D S": mode argument 0, 1, 2 or 4 (the OXQ mode), a supported baud rate and the
// line format that belongs to the mode. The "+" still goes out on the old line.
Answer ChangeMode(State& s, std::string_view args) {
    const std::vector<std::string_view> parts = Parts(args);
    if (parts.size() != 5) return {Reply(false)};
    const auto arg = std::find(kModeArguments.begin(), kModeArguments.end(), parts[0]);
    if (arg == kModeArguments.end()) return {Reply(false)};
    const int mode = static_cast<int>(arg - kModeArguments.begin());
    const auto baud = Numbers(parts[1], 1);
    if (!baud || !IsSupportedBaud((*baud)[0])) return {Reply(false)};
    const bool oxq = mode == kModeOxq;
    const bool formatFits = oxq ? parts[2] == "E" && parts[3] == "7" && parts[4] == "2"
                                : parts[2] == "N" && parts[3] == "8" && parts[4] == "1";
    if (!formatFits) return {Reply(false)};
    const bool changed = s.mode != mode || s.baud != (*baud)[0];
    s.mode = mode;
    s.baud = (*baud)[0];
    return {Reply(true), changed};
}

using Handler = Answer (*)(State&, std::string_view args);

// The modes that have a command, one bit each.
using Modes = unsigned;
constexpr Modes kNative = 1u << kModeVeltrix;
constexpr Modes kOxqOnly = 1u << kModeOxq;
constexpr Modes kEmulations = (1u << kModeMorvane) | (1u << kModeDravell) | kOxqOnly;
constexpr Modes kEveryMode = kNative | kEmulations;

struct Command {
    std::string_view text;
    bool takesArguments;  // `text` is the head and the rest of the command its arguments
    Modes modes;
    Handler handler;
};

Answer Fixed(std::string text) {
    return {std::move(text)};
}

Answer Store(State&, std::string_view) {
    return {};  // answered by Respond, which holds the store function
}

// The type queries, the ready polls and the "DB" configuration family (filter range and moves,
// plate defaults, mode change, store) exist in every mode; the rest is the native set or the
// emulations' set. The plate defaults are asked in native mode too when the user chose an
// emulation on step 2, before Finish switches the instrument over.
const std::array<Command, 25> kCommands{{
    {"!", false, kEveryMode,
     [](State& s, std::string_view) { return Fixed(std::string(TypeCode(s.mode))); }},
    {"BR", false, kEveryMode,
     [](State& s, std::string_view) { return Fixed(std::string(TypeCode(s.mode))); }},
    {"??", false, kEveryMode, [](State&, std::string_view) { return Fixed("S"); }},
    {"?", false, kEveryMode, [](State&, std::string_view) { return Fixed("S"); }},
    {"H", false, kEmulations, [](State&, std::string_view) { return Fixed("+"); }},
    {"BA", false, kNative, [](State&, std::string_view) { return Fixed("+"); }},
    {"V", false, kEmulations, [](State& s, std::string_view) { return Fixed(s.version); }},
    {"RV0", false, kNative, [](State& s, std::string_view) { return Fixed(s.version); }},
    {"GW", false, kNative, [](State& s, std::string_view) { return Fixed(FilterTableText(s)); }},
    {"I", false, kEmulations, [](State& s, std::string_view) { return Fixed(FilterTableText(s)); }},
    {"FC 0", false, kOxqOnly,
     [](State& s, std::string_view) { return Fixed(std::string("+") + s.slideKind); }},
    {"DB FLT WR", false, kEveryMode,
     [](State& s, std::string_view) {
         return Fixed(std::to_string(s.filterMin) + "-" + std::to_string(s.filterMax));
     }},
    {"DB FLT MOVE I", false, kEveryMode, [](State&, std::string_view) { return Fixed("+"); }},
    {"DB FLT MOVE E", false, kEveryMode, [](State&, std::string_view) { return Fixed("+"); }},
    {"RN", false, kNative,
     [](State& s, std::string_view) { return Fixed(std::to_string(s.flashes)); }},
    {"RM", false, kNative,
     [](State& s, std::string_view) {
         return Fixed(std::to_string(s.points) + " " + std::to_string(s.distance));
     }},
    {"SS M_MODE", false, kEmulations,
     [](State& s, std::string_view) {
         return Fixed("M_MODE " + std::to_string(s.measurementMode));
     }},
    {"DB PLT SET ?", false, kEveryMode, PlateDefaults},
    {"DB PLT SET ", true, kEveryMode, SetPlateDefaults},
    {"DB CNF RCMODE ", true, kEveryMode, ChangeMode},
    {"DB CNF WRITE", false, kEveryMode, Store},
    {"DF ", true, kNative, DefineFilters},
    {"DN ", true, kNative, SetFlashes},
    {"DM ", true, kNative, SetPoints},
    {"MM", true, kEmulations, SetMeasurementMode},
}};

}  // namespace

Answer Respond(State& state, std::string_view command, const StoreFunction& store) {
    for (const Command& c : kCommands) {
        const bool matches =
            c.takesArguments ? command.substr(0, c.text.size()) == c.text : command == c.text;
        if (!matches) continue;
        if ((c.modes & (1u << state.mode)) == 0) break;
        if (c.handler == Store) return {Reply(!store || store(state))};
        return c.handler(state, c.takesArguments ? command.substr(c.text.size()) : "");
    }
    return {std::string(kUnknownCommandReply)};
}

}  // namespace sim
