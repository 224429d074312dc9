#pragma once

// The words a profile uses for the choices of the wizard's steps. Each name stands at the
// position of its radio button in the step's group, so a name maps to a button and never to
// a command.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "resources/Resource.h"

namespace profile {

// Step 2, the group that starts at the Veltrix button.
inline constexpr std::array<std::string_view, 4> kModeNames = {"veltrix", "morvane", "dravell",
                                                               "oxq"};
// Step 4, the group that starts at the Normal button.
inline constexpr std::array<std::string_view, 3> kMeasurementNames = {"normal", "accuracy",
                                                                      "center"};
// Step 5: move plate in, move plate out, do not move plate.
inline constexpr std::array<std::string_view, 3> kPlateChoiceNames = {"in", "out", "stay"};

// Step 5's four groups, by the key a profile gives them and the group's first button.
struct PlateGroup {
    std::string_view key;
    int firstButton;
};
inline constexpr std::array<PlateGroup, 4> kPlateGroups = {{
    {"power_on", IDC_POWER_ON_MOVE_IN},
    {"measurement_end", IDC_END_MOVE_IN},
    {"remote_on", IDC_REMOTE_ON_MOVE_IN},
    {"remote_off", IDC_REMOTE_OFF_MOVE_IN},
}};

// Step 3's position boxes, position 1 first.
inline constexpr std::array<int, 6> kPositionBoxes = {IDC_POS1, IDC_POS2, IDC_POS3,
                                                      IDC_POS4, IDC_POS5, IDC_POS6};

// Position of name among names; -1 when it is none of them.
template <std::size_t N>
int PositionOf(const std::array<std::string_view, N>& names, std::string_view name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == name) return static_cast<int>(i);
    }
    return -1;
}

// The name at a position; "" outside the list.
template <std::size_t N>
std::string NameAt(const std::array<std::string_view, N>& names, int position) {
    if (position < 0 || static_cast<std::size_t>(position) >= N) return {};
    return std::string(names[static_cast<std::size_t>(position)]);
}

// "a, b, c": the names a key allows, for messages.
template <std::size_t N>
std::string ListOf(const std::array<std::string_view, N>& names, std::size_t count = N) {
    std::string text;
    for (std::size_t i = 0; i < count && i < N; ++i) {
        if (i > 0) text += ", ";
        text += names[i];
    }
    return text;
}

// "a, b, c": texts listed in a message.
inline std::string Listed(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : ", ") + item;
    return text;
}

}  // namespace profile
