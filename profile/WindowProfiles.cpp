#include "profile/WindowProfiles.h"

#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "profile/ProfileFile.h"
#include "profile/StepChoices.h"

namespace profile {
namespace {

framework::FileDialogRequest ProfileDialog(framework::FileDialogKind kind, const char* title) {
    return {kind, title, "Settings profiles", "*.json", "json"};
}

}  // namespace

void WindowProfiles::Load() {
    const std::string path =
        framework::AskFileName(ProfileDialog(framework::FileDialogKind::Open, "Load profile"));
    if (!path.empty()) LoadFile(path);
}

void WindowProfiles::Save() {
    const engine::InstrumentSettings& read = m_sheet.Settings();
    if (!read.mode.IsRead()) {
        framework::MessageBox(
            "Nothing has been read from an instrument yet: connect on step 1 first, then save "
            "the profile.");
        return;
    }
    const std::string path =
        framework::AskFileName(ProfileDialog(framework::FileDialogKind::Save, "Save profile"));
    if (!path.empty()) SaveFile(path);
}

bool WindowProfiles::LoadFile(const std::string& path) {
    Profile loaded;
    std::string error;
    if (!ReadProfileFile(path, loaded, error)) {
        framework::MessageBox(error);
        return false;
    }
    m_profile = std::move(loaded);
    m_shown.fill(false);
    const int active = m_sheet.GetActiveIndex();
    framework::ShowNote(active > kModeStep
                            ? "Profile loaded; the steps before this one show its choices when "
                              "you go back to them"
                            : "Profile loaded; each step shows its choices");
    // The step on screen has read the instrument already.
    if (active >= kModeStep) OnStepShown(active);
    return true;
}

bool WindowProfiles::SaveFile(const std::string& path) {
    std::string error;
    if (!WriteProfileFile(path, HeldByTheSteps(m_sheet), error)) {
        framework::MessageBox(error);
        return false;
    }
    framework::ShowNote("Profile saved to " + path);
    return true;
}

void WindowProfiles::OnStepShown(int step) {
    if (!m_profile || step < kModeStep || step > kPlateStep) return;
    auto& shown = m_shown[static_cast<std::size_t>(step)];
    if (shown) return;
    shown = true;
    if (const std::string refusal = ChooseOnStep(m_sheet, step, *m_profile); !refusal.empty()) {
        framework::MessageBox(refusal);
    }
}

}  // namespace profile
