#pragma once

// Settings profiles in the window: what "Load profile..." and "Save profile..." do, for every
// host (the host only shows the buttons and its file dialog).
//   sheet.m_pProfileButtons = std::make_unique<profile::WindowProfiles>(sheet);
// Load reads a profile through the strict reader (a bad one: a box naming the key, and nothing
// changes); each step then shows the profile's choices once it has read the instrument, so
// that Finish writes them, and says what it cannot take. Save writes what the steps hold now.

#include <array>
#include <optional>
#include <string>

#include "engine/ProfileButtons.h"
#include "profile/Profile.h"

class CVeltrixInstrumentSettingsDlg;

namespace profile {

class WindowProfiles final : public engine::ProfileButtons {
public:
    explicit WindowProfiles(CVeltrixInstrumentSettingsDlg& sheet) : m_sheet(sheet) {}

    void Load() override;
    void Save() override;
    void OnStepShown(int step) override;

    // Loads the profile at path, as Load does after the file dialog (and --profile at start).
    bool LoadFile(const std::string& path);
    // Writes what the steps hold to path, as Save does after the file dialog.
    bool SaveFile(const std::string& path);

private:
    CVeltrixInstrumentSettingsDlg& m_sheet;
    std::optional<Profile> m_profile;
    // Which steps have shown the profile's choices since it was loaded.
    std::array<bool, 5> m_shown{};
};

}  // namespace profile
