#include "profile/StepChoices.h"

#include <vector>

#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "profile/Vocabulary.h"
#include "resources/Resource.h"
#include "support/ValueString.h"

namespace profile {
namespace {

bool ReadFailed(engine::ReadStatus status) {
    return status == engine::ReadStatus::Failed;
}

// The position of the checked button in the group that starts at first; -1 when none.
int CheckedPosition(framework::PropertyPage& step, int first) {
    const std::vector<framework::Control*> group = step.RadioGroupOf(first);
    for (std::size_t i = 0; i < group.size(); ++i) {
        if (group[i]->IsChecked()) return static_cast<int>(i);
    }
    return -1;
}

// Clicks the button at position in the group, as the user would; a hidden group is set the
// way its data exchange would set it.
bool ChoosePosition(framework::PropertyPage& step, int first, int position) {
    const std::vector<framework::Control*> group = step.RadioGroupOf(first);
    if (position < 0 || static_cast<std::size_t>(position) >= group.size()) return false;
    framework::Control* chosen = group[static_cast<std::size_t>(position)];
    if (chosen->IsVisible()) return step.Click(chosen->Id());
    // Step 5 keeps its remote groups hidden for good, yet reads and hands them over on Finish.
    for (framework::Control* button : group)
        step.CheckRadio(button->Id(), button == chosen);
    return true;
}

std::vector<std::string> Items(const framework::PropertyPage& step, int id) {
    std::vector<std::string> items;
    for (int i = 0; i < step.GetListCount(id); ++i)
        items.push_back(step.GetListItemText(id, i));
    return items;
}

int BoxValue(const framework::PropertyPage& step, int id) {
    return ValueString(step.GetControlText(id)).ToInt();
}

std::string ChooseMode(framework::PropertyPage& step, const Profile& wanted) {
    if (wanted.mode && wanted.mode != CheckedPosition(step, IDC_MODE_VELTRIX) &&
        !ChoosePosition(step, IDC_MODE_VELTRIX, *wanted.mode)) {
        return "mode: step 2 refused " + NameAt(kModeNames, *wanted.mode);
    }
    if (!wanted.baud) return {};
    const std::string baud = std::to_string(*wanted.baud);
    const std::vector<std::string> offered = Items(step, IDC_BAUDRATE);
    const int selected = step.GetListSelection(IDC_BAUDRATE);
    if (selected >= 0 && offered[static_cast<std::size_t>(selected)] == baud) return {};
    for (std::size_t i = 0; i < offered.size(); ++i) {
        if (offered[i] == baud && step.SelectItem(IDC_BAUDRATE, static_cast<int>(i))) return {};
    }
    return "baud: " + baud + " is not offered in " +
           NameAt(kModeNames, CheckedPosition(step, IDC_MODE_VELTRIX)) +
           " mode (offered: " + Listed(offered) + ")";
}

std::string ChooseFilters(CVeltrixInstrumentSettingsDlg& sheet, framework::PropertyPage& step,
                          const Profile& wanted) {
    const engine::SettingRead<std::vector<int>>& held = sheet.Settings().filters;
    if (!wanted.filters || ReadFailed(held.status)) return {};
    const std::vector<int>& filters = *wanted.filters;
    if (!held.IsRead()) return "filters: the instrument has no filter slide";
    const std::size_t present = held.value.size();
    if (filters.size() != present) {
        return "filters: the profile gives " + std::to_string(filters.size()) +
               " positions, the instrument's slide has " + std::to_string(present);
    }
    for (std::size_t i = 0; i < present; ++i) {
        if (filters[i] != BoxValue(step, kPositionBoxes[i]) &&
            !step.TypeText(kPositionBoxes[i], std::to_string(filters[i]))) {
            return "filters: step 3 refused position " + std::to_string(i + 1);
        }
    }
    return {};
}

std::string ChooseMeasurement(CVeltrixInstrumentSettingsDlg& sheet, framework::PropertyPage& step,
                              const Profile& wanted) {
    if (!wanted.measurement || ReadFailed(sheet.Settings().measurement.status)) return {};
    const int measurement = *wanted.measurement;
    if (measurement != CheckedPosition(step, IDC_NORMAL) &&
        !ChoosePosition(step, IDC_NORMAL, measurement)) {
        return "measurement: step 4 refused " + NameAt(kMeasurementNames, measurement);
    }
    return {};
}

std::string ChoosePlate(CVeltrixInstrumentSettingsDlg& sheet, framework::PropertyPage& step,
                        const Profile& wanted) {
    if (!wanted.plate || ReadFailed(sheet.Settings().plate.status)) return {};
    // The step offers the defaults for the mode chosen on step 2 and the firmware.
    if (!step.IsControlEnabled(IDC_POWER_ON_MOVE_IN)) {
        return "plate: " + step.GetControlText(IDC_NOT_AVAILABLE);
    }
    for (std::size_t i = 0; i < kPlateGroups.size(); ++i) {
        const std::optional<int> choice = (*wanted.plate)[i];
        const int first = kPlateGroups[i].firstButton;
        if (choice && choice != CheckedPosition(step, first) &&
            !ChoosePosition(step, first, *choice)) {
            return "plate." + std::string(kPlateGroups[i].key) + ": step 5 refused " +
                   NameAt(kPlateChoiceNames, *choice);
        }
    }
    return {};
}

}  // namespace

std::string ChooseOnStep(CVeltrixInstrumentSettingsDlg& sheet, int step, const Profile& wanted) {
    framework::PropertyPage* page = sheet.GetPage(step);
    if (page == nullptr || !page->IsCreated()) return {};
    switch (step) {
        case kModeStep:
            return ChooseMode(*page, wanted);
        case kFilterStep:
            return ChooseFilters(sheet, *page, wanted);
        case kMeasurementStep:
            return ChooseMeasurement(sheet, *page, wanted);
        case kPlateStep:
            return ChoosePlate(sheet, *page, wanted);
        default:
            return {};
    }
}

Profile HeldByTheSteps(CVeltrixInstrumentSettingsDlg& sheet) {
    Profile held = ProfileOf(sheet.Settings());
    const auto shown = [&sheet](int step) {
        framework::PropertyPage* page = sheet.GetPage(step);
        return page != nullptr && page->IsCreated() ? page : nullptr;
    };
    if (framework::PropertyPage* mode = shown(kModeStep)) {
        if (const int position = CheckedPosition(*mode, IDC_MODE_VELTRIX);
            held.mode && position >= 0) {
            held.mode = position;
        }
        if (const int selected = mode->GetListSelection(IDC_BAUDRATE); held.baud && selected >= 0) {
            held.baud = ValueString(mode->GetListItemText(IDC_BAUDRATE, selected)).ToInt();
        }
    }
    if (framework::PropertyPage* filters = shown(kFilterStep); filters && held.filters) {
        for (std::size_t i = 0; i < held.filters->size(); ++i)
            (*held.filters)[i] = BoxValue(*filters, kPositionBoxes[i]);
    }
    if (framework::PropertyPage* measurement = shown(kMeasurementStep);
        measurement && sheet.Settings().measurement.IsRead()) {
        // A triple that is none of the presets shows as Normal, which the user did not choose.
        const int position = CheckedPosition(*measurement, IDC_NORMAL);
        if (position >= 0 && (held.measurement || position != 0)) held.measurement = position;
    }
    if (framework::PropertyPage* plate = shown(kPlateStep); plate && held.plate) {
        for (std::size_t i = 0; i < kPlateGroups.size(); ++i) {
            const int position = CheckedPosition(*plate, kPlateGroups[i].firstButton);
            if (position >= 0) (*held.plate)[i] = position;
        }
    }
    return held;
}

}  // namespace profile
