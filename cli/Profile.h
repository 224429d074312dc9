#pragma once

// A settings profile: the choices of the wizard's steps that a profile names. Only the keys
// present are checked or applied.
//   { "format": 1, "mode": "morvane", "baud": 9600,
//     "filters": [405, 450, 492, 550, 600, 620], "measurement": "accuracy",
//     "plate": {"power_on": "out", "measurement_end": "stay",
//               "remote_on": "out", "remote_off": "stay"} }

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/InstrumentSettings.h"

namespace cli {

struct Profile {
    // Positions of the chosen radio buttons (see Vocabulary.h).
    std::optional<int> mode;
    std::optional<int> baud;
    std::optional<std::vector<int>> filters;  // 4 or 6 positions
    std::optional<int> measurement;
    // In the order of kPlateGroups; a group may be left out.
    using Plate = std::array<std::optional<int>, 4>;
    std::optional<Plate> plate;

    bool operator==(const Profile&) const = default;
};

// What an instrument holds as a profile: the settings that were read; of the measurement only a
// preset, of the plate defaults only the groups that have a choice.
Profile ProfileOf(const engine::InstrumentSettings& held);
// The profile as a settings description in which every setting it names was read.
engine::InstrumentSettings SettingsOf(const Profile& profile);

// Reads a profile and checks every key against what the steps accept. False with a message
// that names the key and what is allowed.
bool ReadProfile(const std::string& text, Profile& profile, std::string& error);

// The profile as a JSON document, its keys in the order above, "format": 1 first.
nlohmann::ordered_json ProfileDocument(const Profile& profile);
// That document as text, ending in a newline.
std::string WriteProfile(const Profile& profile);

}  // namespace cli
