#include "wizard/MeasurementModePage.h"

#include "device/InstrumentCommands.h"
#include "device/InstrumentType.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "resources/Resource.h"
#include "support/ValueString.h"
#include "wizard/StepRead.h"

namespace {

enum Mode { kNormal = 0, kAccuracy = 1, kCenter = 2, kCustom = 3 };

struct Preset {
    int distance;  // micrometres
    int flashes;
    int points;
};

constexpr Preset kNormalPreset{440, 8, 3};
constexpr Preset kAccuracyPreset{440, 55, 3};
constexpr Preset kCenterPreset{175, 22, 1};

// Shown until the first activation replaces them, when the emulation reports only a mode.
constexpr Preset kEmulationPlaceholder{2000, 20, 20};

bool Matches(const Preset& preset, int distance, int flashes, int points) {
    return preset.distance == distance && preset.flashes == flashes && preset.points == points;
}

// The preset the values belong to; -1 for none.
int PresetOf(int distance, int flashes, int points) {
    if (Matches(kAccuracyPreset, distance, flashes, points)) return kAccuracy;
    if (Matches(kCenterPreset, distance, flashes, points)) return kCenter;
    if (Matches(kNormalPreset, distance, flashes, points)) return kNormal;
    return -1;
}

}  // namespace

MeasurementModePage::MeasurementModePage() : WizardPage(IDD_MEASUREMENT_MODE) {}

void MeasurementModePage::DoDataExchange(framework::DataExchange& dx) {
    // The Custom button starts a group of its own, so this group never reads or selects it.
    dx.RadioGroup(IDC_NORMAL, m_nMeasurementMode);
    dx.Integer(IDC_DISTANCE, m_nDistance, 175, 9000);
    dx.Integer(IDC_FLASHES, m_nFlashes, 1, 55);
    dx.Integer(IDC_POINTS, m_nPoints, 1, 40);
}

BOOL MeasurementModePage::OnInitDialog() {
    StepRead read(GetParentSheet(), "measurement", StepRead::Tells);
    engine::Measurement held;
    if (ConnectedTypeCode() == device::kTypeVeltrix) {
        m_nFlashes = ValueString(Exchange(device::command::kReadFlashes)).ToInt();
        ValueString reply(Exchange(device::command::kReadPoints));  // "points distance"
        m_nPoints = reply.TakeHeadByChar(' ').ToInt();
        m_nDistance = reply.ToInt();
        held.flashesPointsDistance = {m_nFlashes, m_nPoints, m_nDistance};
        // Values of no preset show Normal; the instrument holds Normal only with its values.
        held.mode = PresetOf(m_nDistance, m_nFlashes, m_nPoints);
        m_nMeasurementMode = held.mode >= 0 ? held.mode : kNormal;
    } else {
        // The emulations report the mode index as the last blank-separated part.
        ValueString reply(Exchange(device::command::kReadMeasurementMode));
        const ValueString index = reply.TakeTailByChar(' ');
        m_nMeasurementMode = index.ToInt();
        m_nDistance = kEmulationPlaceholder.distance;
        m_nFlashes = kEmulationPlaceholder.flashes;
        m_nPoints = kEmulationPlaceholder.points;
        const bool preset =
            index.IsInteger() && m_nMeasurementMode >= kNormal && m_nMeasurementMode <= kCenter;
        held.mode = preset ? m_nMeasurementMode : -1;
    }
    DescribeMeasurement(read.Failure(), held);
    read.Tell("the measurement mode");
    return WizardPage::OnInitDialog();
}

void MeasurementModePage::DescribeMeasurement(const engine::Exchange* failure,
                                              const engine::Measurement& held) {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    if (sheet == nullptr) return;
    if (failure != nullptr) {
        sheet->Settings().measurement.SetFailed(*failure);
    } else {
        sheet->Settings().measurement.SetRead(held);
    }
}

BOOL MeasurementModePage::OnSetActive() {
    // Free values are for the native mode only, as chosen on step 2.
    const bool veltrix = SelectedTypeCode() == device::kTypeVeltrix;
    EnableControl(IDC_CUSTOM, veltrix);
    if (!veltrix && m_nMeasurementMode == kCustom) {
        m_nMeasurementMode = kNormal;
        UpdateData(FALSE);
    }
    RunActionFor(m_nMeasurementMode);
    return WizardPage::OnSetActive();
}

void MeasurementModePage::RunActionFor(int mode) {
    switch (mode) {
        case kAccuracy:
            OnAccuracy();
            break;
        case kCenter:
            OnCenter();
            break;
        case kCustom:
            OnCustom();
            break;
        default:
            OnNormal();
            break;
    }
}

void MeasurementModePage::OnCommand(int id, framework::Notification what) {
    if (what != framework::Notification::Clicked) return;
    switch (id) {
        case IDC_NORMAL:
            OnNormal();
            break;
        case IDC_ACCURACY:
            OnAccuracy();
            break;
        case IDC_CENTER:
            OnCenter();
            break;
        case IDC_CUSTOM:
            OnCustom();
            break;
        default:
            break;
    }
}

void MeasurementModePage::OnNormal() {
    ApplyPreset(kNormalPreset.distance, kNormalPreset.flashes, kNormalPreset.points);
}

void MeasurementModePage::OnAccuracy() {
    ApplyPreset(kAccuracyPreset.distance, kAccuracyPreset.flashes, kAccuracyPreset.points);
}

void MeasurementModePage::OnCenter() {
    ApplyPreset(kCenterPreset.distance, kCenterPreset.flashes, kCenterPreset.points);
}

void MeasurementModePage::OnCustom() {
    UpdateData(TRUE);
    EnableValueBoxes(true);
    UpdateData(FALSE);
}

void MeasurementModePage::ApplyPreset(int distance, int flashes, int points) {
    // Takes the selected option over; a value box out of bounds only shows its message.
    UpdateData(TRUE);
    m_nDistance = distance;
    m_nFlashes = flashes;
    m_nPoints = points;
    EnableValueBoxes(false);
    UpdateData(FALSE);
}

void MeasurementModePage::EnableValueBoxes(bool enable) {
    EnableControl(IDC_DISTANCE, enable);
    EnableControl(IDC_FLASHES, enable);
    EnableControl(IDC_POINTS, enable);
}
