#pragma once

// The settings in which an instrument differs from a profile, one line each, in the form
//   filters: 405 450 492 550 600 620 -> 405 450 492 550 600 700
// (the instrument's value, then the profile's). Only the keys of the profile count; a setting
// the instrument does not hold (a measurement triple that is no preset) always differs.

#include <string>
#include <vector>

#include "cli/Profile.h"

namespace cli {

std::vector<std::string> Differences(const Profile& held, const Profile& wanted);

}  // namespace cli
