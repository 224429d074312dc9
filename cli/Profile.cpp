#include "cli/Profile.h"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>
#include <string_view>

#include "cli/PageRules.h"
#include "cli/Text.h"
#include "cli/Vocabulary.h"

namespace cli {
namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

constexpr int kFormat = 1;
constexpr std::array<std::string_view, 6> kKeys = {"format",  "mode",        "baud",
                                                   "filters", "measurement", "plate"};

std::string Quoted(std::string_view key) {
    return "\"" + std::string(key) + "\"";
}

// The value as an int; false for anything else (a fraction, a text, a number beyond int).
bool AsInt(const Json& value, int& out) {
    if (value.is_number_unsigned()) {
        const auto number = value.get<std::uint64_t>();
        if (number > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) return false;
        out = static_cast<int>(number);
        return true;
    }
    if (!value.is_number_integer()) return false;
    const auto number = value.get<std::int64_t>();
    if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()) {
        return false;
    }
    out = static_cast<int>(number);
    return true;
}

// A text that is one of names: its position.
template <std::size_t N>
bool ReadName(const Json& value, const std::string& key,
              const std::array<std::string_view, N>& names, std::size_t allowed, int& out,
              std::string& error) {
    const int position = value.is_string() ? PositionOf(names, value.get<std::string>()) : -1;
    if (position < 0 || static_cast<std::size_t>(position) >= allowed) {
        error = key + " must be one of " + ListOf(names, allowed);
        return false;
    }
    out = position;
    return true;
}

bool ReadFormat(const Json& doc, std::string& error) {
    int format = 0;
    if (!doc.contains("format")) {
        error = "\"format\" is missing (allowed: 1)";
        return false;
    }
    if (!AsInt(doc["format"], format) || format != kFormat) {
        error = "\"format\" must be 1";
        return false;
    }
    return true;
}

bool ReadBaud(const Json& value, const std::optional<int>& mode, Profile& profile,
              std::string& error) {
    int baud = 0;
    if (!AsInt(value, baud)) {
        error = "\"baud\" must be an integer";
        return false;
    }
    // Without a mode, any rate that some mode offers may suit the instrument's own.
    std::vector<std::string> offered;
    if (mode) {
        offered = OfferedRates(*mode);
    } else {
        std::set<int> rates;
        for (int m = 0; m < static_cast<int>(kModeNames.size()); ++m) {
            for (const std::string& rate : OfferedRates(m))
                rates.insert(std::stoi(rate));
        }
        for (auto it = rates.rbegin(); it != rates.rend(); ++it)
            offered.push_back(std::to_string(*it));
    }
    if (std::find(offered.begin(), offered.end(), std::to_string(baud)) == offered.end()) {
        error = "\"baud\": " + std::to_string(baud) + " is not offered" +
                (mode ? " in " + NameAt(kModeNames, *mode) + " mode" : std::string()) +
                " (allowed: " + Join(offered, ", ") + ")";
        return false;
    }
    profile.baud = baud;
    return true;
}

bool ReadFilters(const Json& value, Profile& profile, std::string& error) {
    if (!value.is_array() || (value.size() != 4 && value.size() != 6)) {
        error = "\"filters\" must be a list of 4 or 6 integers (0 for an empty position)";
        return false;
    }
    std::vector<int> filters;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::string key = "\"filters\"[" + std::to_string(i) + "]";
        int filter = 0;
        if (!AsInt(value[i], filter)) {
            error = key + " must be an integer";
            return false;
        }
        if (const std::string refusal = FilterValueRefusal(filter); !refusal.empty()) {
            error = key + ": " + std::to_string(filter) + ": " + refusal;
            return false;
        }
        filters.push_back(filter);
    }
    profile.filters = std::move(filters);
    return true;
}

std::string PlateKeys() {
    std::string keys;
    for (const PlateGroup& g : kPlateGroups)
        keys += (keys.empty() ? "" : ", ") + std::string(g.key);
    return keys;
}

bool ReadPlate(const Json& value, Profile& profile, std::string& error) {
    if (!value.is_object()) {
        error = "\"plate\" must be an object with the keys " + PlateKeys();
        return false;
    }
    Profile::Plate plate;
    for (const auto& item : value.items()) {
        const std::string& key = item.key();
        const Json& choice = item.value();
        const auto group = std::find_if(kPlateGroups.begin(), kPlateGroups.end(),
                                        [&](const PlateGroup& g) { return g.key == key; });
        if (group == kPlateGroups.end()) {
            error = "unknown key \"plate." + key + "\" (allowed: " + PlateKeys() + ")";
            return false;
        }
        const auto allowed = static_cast<std::size_t>(PlateChoiceCount(group->firstButton));
        int position = -1;
        if (!ReadName(choice, "\"plate." + key + "\"", kPlateChoiceNames, allowed, position,
                      error)) {
            return false;
        }
        plate[static_cast<std::size_t>(group - kPlateGroups.begin())] = position;
    }
    profile.plate = plate;
    return true;
}

// Lists of numbers on one line, as people write them: [405, 450, 492, 550].
std::string WithFlatNumberLists(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t close = text[i] == '[' ? text.find(']', i) : std::string::npos;
        const bool numbers =
            close != std::string::npos && text.find_first_not_of("0123456789-, \n", i + 1) == close;
        if (!numbers) {
            out += text[i];
            continue;
        }
        std::string list = "[";
        for (std::size_t j = i + 1; j < close; ++j) {
            if (text[j] == '\n' || (text[j] == ' ' && list.back() != ',')) continue;
            list += text[j];
        }
        out += list + "]";
        i = close;
    }
    return out;
}

// The parser's message without its exception name: "parse error at line 1, column 9: ...".
std::string ParserMessage(const char* what) {
    std::string message = what;
    if (const std::size_t end = message.find("] ");
        message.starts_with("[") && end != message.npos) {
        message.erase(0, end + 2);
    }
    return message;
}

// Parses the text, refusing a key that an object holds twice (the parser would keep the last
// and drop the first without a word). False with what is wrong.
bool ParseUnique(const std::string& text, Json& doc, std::string& error) {
    std::vector<std::set<std::string>> keysOfOpenObjects;
    std::string repeated;
    const Json::parser_callback_t noteKeys = [&](int, Json::parse_event_t event, Json& parsed) {
        switch (event) {
            case Json::parse_event_t::object_start:
                keysOfOpenObjects.emplace_back();
                break;
            case Json::parse_event_t::object_end:
                if (!keysOfOpenObjects.empty()) keysOfOpenObjects.pop_back();
                break;
            case Json::parse_event_t::key:
                if (!keysOfOpenObjects.empty() &&
                    !keysOfOpenObjects.back().insert(parsed.get<std::string>()).second &&
                    repeated.empty()) {
                    repeated = parsed.get<std::string>();
                }
                break;
            default:
                break;
        }
        return true;
    };
    try {
        doc = Json::parse(text, noteKeys);
    } catch (const Json::out_of_range& e) {
        error = "a number in the profile is out of range: " + ParserMessage(e.what());
        return false;
    } catch (const Json::exception& e) {
        error = "the profile is not JSON: " + ParserMessage(e.what());
        return false;
    }
    if (!repeated.empty()) {
        error = "the key " + Quoted(repeated) + " is given twice";
        return false;
    }
    return true;
}

}  // namespace

bool ReadProfile(const std::string& text, Profile& profile, std::string& error) {
    // The parser takes a zero byte for the end of the text and would pass over what follows.
    if (const std::size_t zero = text.find('\0'); zero != std::string::npos) {
        error = "the profile is not JSON (a zero byte at offset " + std::to_string(zero) + ")";
        return false;
    }
    Json doc;
    if (!ParseUnique(text, doc, error)) return false;
    if (!doc.is_object()) {
        error = "the profile must be a JSON object with the keys " + ListOf(kKeys);
        return false;
    }
    for (const auto& item : doc.items()) {
        if (PositionOf(kKeys, item.key()) < 0) {
            error = "unknown key " + Quoted(item.key()) + " (allowed: " + ListOf(kKeys) + ")";
            return false;
        }
    }
    if (!ReadFormat(doc, error)) return false;
    Profile read;
    if (doc.contains("mode")) {
        int mode = -1;
        if (!ReadName(doc["mode"], "\"mode\"", kModeNames, kModeNames.size(), mode, error)) {
            return false;
        }
        read.mode = mode;
    }
    if (doc.contains("baud") && !ReadBaud(doc["baud"], read.mode, read, error)) return false;
    if (doc.contains("filters") && !ReadFilters(doc["filters"], read, error)) return false;
    if (doc.contains("measurement")) {
        int measurement = -1;
        if (!ReadName(doc["measurement"], "\"measurement\"", kMeasurementNames,
                      kMeasurementNames.size(), measurement, error)) {
            return false;
        }
        read.measurement = measurement;
    }
    if (doc.contains("plate") && !ReadPlate(doc["plate"], read, error)) return false;
    profile = std::move(read);
    return true;
}

Profile ProfileOf(const engine::InstrumentSettings& held) {
    Profile profile;
    if (const int* mode = held.mode.Get()) profile.mode = *mode;
    if (const int* baud = held.baud.Get()) profile.baud = *baud;
    if (const std::vector<int>* filters = held.filters.Get()) profile.filters = *filters;
    if (const engine::Measurement* measurement = held.measurement.Get();
        measurement != nullptr && measurement->mode >= 0) {
        profile.measurement = measurement->mode;
    }
    if (const engine::PlateDefaults* plate = held.plate.Get()) {
        Profile::Plate groups;
        for (std::size_t i = 0; i < groups.size(); ++i) {
            if ((*plate)[i] >= 0) groups[i] = (*plate)[i];
        }
        profile.plate = groups;
    }
    return profile;
}

engine::InstrumentSettings SettingsOf(const Profile& profile) {
    engine::InstrumentSettings settings;
    if (profile.mode) settings.mode.SetRead(*profile.mode);
    if (profile.baud) settings.baud.SetRead(*profile.baud);
    if (profile.filters) settings.filters.SetRead(*profile.filters);
    if (profile.measurement)
        settings.measurement.SetRead(engine::Measurement{*profile.measurement, std::nullopt});
    if (profile.plate) {
        engine::PlateDefaults plate{};
        for (std::size_t i = 0; i < plate.size(); ++i)
            plate[i] = (*profile.plate)[i].value_or(-1);
        settings.plate.SetRead(plate);
    }
    return settings;
}

OrderedJson ProfileDocument(const Profile& profile) {
    OrderedJson doc;
    doc["format"] = kFormat;
    if (profile.mode) doc["mode"] = NameAt(kModeNames, *profile.mode);
    if (profile.baud) doc["baud"] = *profile.baud;
    if (profile.filters) doc["filters"] = *profile.filters;
    if (profile.measurement) doc["measurement"] = NameAt(kMeasurementNames, *profile.measurement);
    if (profile.plate) {
        OrderedJson plate = OrderedJson::object();
        for (std::size_t i = 0; i < kPlateGroups.size(); ++i) {
            if ((*profile.plate)[i]) {
                plate[std::string(kPlateGroups[i].key)] =
                    NameAt(kPlateChoiceNames, *(*profile.plate)[i]);
            }
        }
        doc["plate"] = plate;
    }
    return doc;
}

std::string WriteProfile(const Profile& profile) {
    return WithFlatNumberLists(ProfileDocument(profile).dump(2)) + "\n";
}

}  // namespace cli
