#pragma once

// The settings in which an instrument differs from a profile, one entry each in the profile's
// key order, with the instrument's value and the profile's in the profile's own JSON shapes;
// a text stands for the instrument's value where it holds none ("no filter slide", "not held in
// Veltrix mode", "none of the presets"). Only the keys of the profile count, and only settings
// that were read: one that could not be read is a failure, never a difference.
//   filters: 405 450 492 550 600 620 -> 405 450 492 550 600 700

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/Profile.h"
#include "engine/InstrumentSettings.h"

namespace cli {

struct Difference {
    std::string setting;
    nlohmann::ordered_json instrument;
    nlohmann::ordered_json profile;
};

std::vector<Difference> Differences(const engine::InstrumentSettings& held, const Profile& wanted);
// "setting: instrument -> profile", as the command line prints it.
std::string DifferenceLine(const Difference& difference);

}  // namespace cli
