#pragma once

// The one description of an instrument's settings: what the steps read from the instrument
// since step 1 connected, setting by setting, and for each whether it was read, whether the
// instrument holds no such setting in its present state (and why), or which exchange failed
// when it could not be read. The steps fill it as they read; the command line's read, check and
// apply and the window's profiles take the instrument's state from here.
//
// The user's choices stay in the pages' fields, which ApplySettings sends: they are a second
// thing (what the instrument is to hold), not a copy of this one (what it holds), so each
// value has one place and the wizard's bytes on the line stay those of the pages.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "engine/ExchangeRecord.h"

namespace engine {

enum class ReadStatus {
    NotRead,  // no step has read it (yet)
    Read,     // value holds what the instrument answered
    NotHeld,  // the instrument holds no such setting now; notHeld says why
    Failed,   // failure holds the exchange that could not be completed
};

template <class T>
struct SettingRead {
    ReadStatus status = ReadStatus::NotRead;
    T value{};
    std::string notHeld;
    Exchange failure;

    bool IsRead() const { return status == ReadStatus::Read; }
    const T* Get() const { return IsRead() ? &value : nullptr; }
    void SetRead(T read) {
        status = ReadStatus::Read;
        value = std::move(read);
    }
    void SetNotHeld(std::string why) {
        status = ReadStatus::NotHeld;
        notHeld = std::move(why);
    }
    void SetFailed(const Exchange& exchange) {
        status = ReadStatus::Failed;
        failure = exchange;
    }
};

// Step 4's setting: the preset (0 normal, 1 accuracy, 2 center; -1 none of them), and in the
// native mode the values it was told by.
struct Measurement {
    int mode = -1;
    std::optional<std::array<int, 3>> flashesPointsDistance;
    bool operator==(const Measurement&) const = default;
};

// Step 5's four groups (power on, measurement end, remote on, remote off): the position of the
// choice in its group (0 in, 1 out, 2 stay), -1 for a group the instrument gave no value.
using PlateDefaults = std::array<int, 4>;

struct InstrumentSettings {
    SettingRead<int> mode;  // 0 Veltrix, 1 Morvane, 2 Dravell, 3 OXQ
    SettingRead<int> baud;
    SettingRead<std::vector<int>> filters;  // the 4 or 6 positions of the slide
    SettingRead<Measurement> measurement;
    SettingRead<PlateDefaults> plate;
    SettingRead<std::string> firmware;
};

// The texts of a setting the instrument does not hold.
inline constexpr const char* kNoFilterSlide = "no filter slide";
inline constexpr const char* kNotHeldInVeltrixMode = "not held in Veltrix mode";
inline constexpr const char* kNotHeldByFirmware = "not held by firmware ";  // + version text

// The settings in the order a profile names them, for the faces' lists.
inline constexpr std::array<const char*, 5> kSettingNames = {"mode", "baud", "filters",
                                                             "measurement", "plate"};

}  // namespace engine
