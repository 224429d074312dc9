#include "wizard/PlateMovementPage.h"

#include <array>

#include "device/InstrumentCommands.h"
#include "device/InstrumentType.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "resources/Resource.h"
#include "support/ValueString.h"
#include "wizard/StepRead.h"

namespace {

constexpr std::array kChoiceButtons = {
    IDC_POWER_ON_MOVE_IN,   IDC_POWER_ON_MOVE_OUT,   IDC_END_MOVE_IN,        IDC_END_MOVE_OUT,
    IDC_END_NO_MOVE,        IDC_REMOTE_ON_MOVE_IN,   IDC_REMOTE_ON_MOVE_OUT, IDC_REMOTE_ON_NO_MOVE,
    IDC_REMOTE_OFF_MOVE_IN, IDC_REMOTE_OFF_MOVE_OUT, IDC_REMOTE_OFF_NO_MOVE};

// The remote groups are never offered on screen; their values still travel.
constexpr std::array kRemoteGroups = {
    IDC_REMOTE_ON_GROUP,  IDC_REMOTE_ON_MOVE_IN,  IDC_REMOTE_ON_MOVE_OUT,  IDC_REMOTE_ON_NO_MOVE,
    IDC_REMOTE_OFF_GROUP, IDC_REMOTE_OFF_MOVE_IN, IDC_REMOTE_OFF_MOVE_OUT, IDC_REMOTE_OFF_NO_MOVE};

// The first button of each group: power on, measurement end, remote on, remote off.
constexpr std::array kGroupStarts = {IDC_POWER_ON_MOVE_IN, IDC_END_MOVE_IN, IDC_REMOTE_ON_MOVE_IN,
                                     IDC_REMOTE_OFF_MOVE_IN};

// Out, out, do not move, do not move: one text per choice, each its position + 1.
constexpr const char* kDefaultMovement = "2 2 3 3";

// The first firmware that knows the plate-movement defaults (3.10).
constexpr int kFirstVersionWithDefaults = 3100;

}  // namespace

PlateMovementPage::PlateMovementPage() : WizardPage(IDD_PLATE_MOVEMENT) {}

void PlateMovementPage::DoDataExchange(framework::DataExchange& dx) {
    dx.RadioGroup(IDC_POWER_ON_MOVE_IN, m_nAtPowerOn);
    dx.RadioGroup(IDC_END_MOVE_IN, m_nAtMeasurementEnd);
    dx.RadioGroup(IDC_REMOTE_ON_MOVE_IN, m_nAtRemoteOn);
    dx.RadioGroup(IDC_REMOTE_OFF_MOVE_IN, m_nAtRemoteOff);
}

bool PlateMovementPage::CheckAvailability() {
    if (SelectedTypeCode() == device::kTypeVeltrix) {
        SetControlText(IDC_NOT_AVAILABLE, "Settings not necessary for VELTRIX");
        return false;
    }
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    const std::string version = sheet != nullptr ? sheet->GetFirmwareVersion() : std::string();
    const int number = sheet != nullptr ? sheet->ParseVersion(version) : 0;
    if (number < kFirstVersionWithDefaults) {
        SetControlText(IDC_NOT_AVAILABLE, "Settings not possible for Version " + version);
        return false;
    }
    return true;
}

void PlateMovementPage::EnableChoices(bool available) {
    for (const int id : kChoiceButtons)
        EnableControl(id, available);
    EnableControl(IDC_SET_DEFAULT, available);
    ShowControl(IDC_NOT_AVAILABLE, !available);
}

BOOL PlateMovementPage::OnInitDialog() {
    StepRead read(GetParentSheet(), "plate", StepRead::Tells);
    const bool available = CheckAvailability();
    ValueString reply(kDefaultMovement);
    if (available) {
        reply.text = Exchange(device::command::kReadPlateMovement);
        reply.Trim();
    }
    // A missing or non-numeric part gives -1: no button of that group is selected.
    for (int* field : {&m_nAtPowerOn, &m_nAtMeasurementEnd, &m_nAtRemoteOn, &m_nAtRemoteOff}) {
        *field = reply.TakeHeadByText(" ").ToInt() - 1;
    }
    const BOOL result = WizardPage::OnInitDialog();
    EnableChoices(available);
    for (const int id : kRemoteGroups)
        ShowControl(id, false);
    DescribePlate(read, available);
    return result;
}

void PlateMovementPage::DescribePlate(StepRead& read, bool available) {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    if (sheet == nullptr) return;
    engine::SettingRead<engine::PlateDefaults>& plate = sheet->Settings().plate;
    // An instrument in its native mode holds no defaults, whatever step 2 chose.
    if (ConnectedTypeCode() == device::kTypeVeltrix) {
        plate.SetNotHeld(engine::kNotHeldInVeltrixMode);
        return;
    }
    if (const engine::Exchange* failure = read.Failure()) {
        plate.SetFailed(*failure);
        read.Tell("the plate movement defaults");
        return;
    }
    const engine::SettingRead<std::string>& firmware = sheet->Settings().firmware;
    if (!available && firmware.IsRead()) {
        plate.SetNotHeld(engine::kNotHeldByFirmware + firmware.value);
        return;
    }
    if (!available) return;
    // A value beyond the buttons of its group selects none of them.
    const std::array fields = {m_nAtPowerOn, m_nAtMeasurementEnd, m_nAtRemoteOn, m_nAtRemoteOff};
    engine::PlateDefaults held;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const auto buttons = static_cast<int>(RadioGroupOf(kGroupStarts[i]).size());
        held[i] = fields[i] >= 0 && fields[i] < buttons ? fields[i] : -1;
    }
    plate.SetRead(held);
}

BOOL PlateMovementPage::OnSetActive() {
    // Step 2 may have changed the mode since; the defaults themselves are not read again.
    EnableChoices(CheckAvailability());
    return WizardPage::OnSetActive();
}

void PlateMovementPage::OnCommand(int id, framework::Notification what) {
    if (id == IDC_SET_DEFAULT && what == framework::Notification::Clicked) OnSetDefault();
}

void PlateMovementPage::OnSetDefault() {
    UpdateData(TRUE);
    m_nAtPowerOn = 1;
    m_nAtMeasurementEnd = 1;
    m_nAtRemoteOn = 2;
    m_nAtRemoteOff = 2;
    UpdateData(FALSE);
}
