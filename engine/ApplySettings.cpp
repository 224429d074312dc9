// Writing the user's choices into the instrument on Finish: filter slide, instrument mode and
// port, measurement mode and plate movement, with one summary box at the end.

#include <initializer_list>
#include <string>
#include <string_view>

#include "device/InstrumentCommands.h"
#include "device/InstrumentType.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "support/ValueString.h"
#include "wizard/FilterSlidePage.h"
#include "wizard/InstrumentModePage.h"
#include "wizard/MeasurementModePage.h"
#include "wizard/PlateMovementPage.h"

namespace {

namespace cmd = device::command;

// The plate-movement defaults exist from firmware 3.10 on.
constexpr int kPlateMovementMinVersion = 3100;

// The numbers after the head, separated by blanks: "DF 405 450 492 620 0 0".
std::string CommandWithNumbers(std::string_view head, std::initializer_list<int> numbers) {
    ValueString text{std::string(head)};
    bool first = true;
    for (int number : numbers) {
        if (!first) text.AppendText(" ");
        text.AppendInt(number);
        first = false;
    }
    return text.text;
}

}  // namespace

BOOL CVeltrixInstrumentSettingsDlg::ApplySettings() {
    std::string message;
    const bool applied = RunApplySteps(message);
    if (applied && !message.empty()) {
        framework::MessageBox(message);
    } else if (!applied) {
        ShowStepFailure(message);
    }
    return applied ? TRUE : FALSE;
}

bool CVeltrixInstrumentSettingsDlg::RunApplySteps(std::string& message) {
    framework::WaitCursor busy;
    if (m_pFilterSlidePage->m_bFilterSlideChanged != 0 && !ApplyFilterSlide(message)) {
        return false;
    }
    if (ModeChangeNeeded() && !ApplyInstrumentMode(message)) return false;
    if (!ApplyMeasurementMode(message)) return false;
    return ApplyPlateMovement(message);
}

bool CVeltrixInstrumentSettingsDlg::CommandAccepted(const std::string& command) {
    SendCommand(command);
    std::string reply;
    ReadReply(reply);
    if (reply == cmd::kAccepted) return true;
    m_record.RefuseLast();
    return false;
}

// Only the native mode takes a filter table. When the switch to it fails, no table is sent,
// so the step has failed whatever the instrument's status.
bool CVeltrixInstrumentSettingsDlg::ApplyFilterSlide(std::string& message) {
    const engine::SettingTopic topic(m_record, "filters");
    if (GetInstrumentType() != device::kTypeVeltrix &&
        !ChangeInstrumentMode(device::kIndexVeltrix)) {
        message = "Error defining filterslide!";
        return false;
    }
    const FilterSlidePage& slide = *m_pFilterSlidePage;
    const std::string table = CommandWithNumbers(
        cmd::kDefineFilters,
        {slide.m_nPos1, slide.m_nPos2, slide.m_nPos3, slide.m_nPos4, slide.m_nPos5, slide.m_nPos6});
    const std::size_t tableExchange = m_record.Size();
    if (!CommandAccepted(table)) {
        // The table counts as taken unless the instrument reports an error when asked.
        const BOOL ready = SendCommand(std::string(cmd::kReadyPoll));
        std::string status;
        ReadReply(status);
        if (!ready) {
            m_record.Fail(tableExchange);
            message = "Error defining filterslide!";
            return false;
        }
    }
    message += "Filterslide defined successfully\n";
    return true;
}

bool CVeltrixInstrumentSettingsDlg::ModeChangeNeeded() {
    const int baudRate = ValueString(m_pInstrumentModePage->m_strBaudRate).ToInt();
    return GetSelectedTypeCode() != GetInstrumentType() || baudRate != GetDevice()->GetBaudRate();
}

// An instrument that does not give its version after the change may not talk at the new
// settings: the apply stops and says so.
bool CVeltrixInstrumentSettingsDlg::ApplyInstrumentMode(std::string& message) {
    const engine::SettingTopic topic(m_record, "mode");
    if (!ChangeInstrumentMode(m_pInstrumentModePage->m_nMode)) return false;
    const std::string code = GetInstrumentType();
    const std::string version = GetFirmwareVersion();
    if (version.empty()) {
        m_record.FailLast();
        message += "Error reading the firmware version after changing the instrument mode!";
        return false;
    }
    message += "Instrument changed to " + code + ", Version: " + version + "\n";
    return true;
}

// The native mode takes flashes and points one by one; the emulations take a preset index.
bool CVeltrixInstrumentSettingsDlg::ApplyMeasurementMode(std::string& message) {
    const engine::SettingTopic topic(m_record, "measurement");
    const MeasurementModePage& mode = *m_pMeasurementModePage;
    const std::string type = GetInstrumentType();
    bool set = false;
    if (type == device::kTypeVeltrix) {
        set = CommandAccepted(std::string(cmd::kSetFlashesEight)) &&
              CommandAccepted(
                  CommandWithNumbers(cmd::kSetPoints, {mode.m_nPoints, mode.m_nDistance})) &&
              CommandAccepted(CommandWithNumbers(cmd::kSetFlashes, {mode.m_nFlashes}));
    } else if (device::InstrumentTypeIndex(type) >= 0) {
        set = CommandAccepted(
            CommandWithNumbers(cmd::kSetMeasurementMode, {mode.m_nMeasurementMode}));
    }
    if (!set) {
        m_record.FailLast();
        message = "Error setting measurement mode!";
        return false;
    }
    message += "Measurement mode set successfully\n";
    return true;
}

bool CVeltrixInstrumentSettingsDlg::ApplyPlateMovement(std::string& message) {
    if (GetInstrumentType() == device::kTypeVeltrix) return true;
    const engine::SettingTopic topic(m_record, "plate");
    if (ParseVersion(GetFirmwareVersion()) < kPlateMovementMinVersion) return true;
    const PlateMovementPage& plate = *m_pPlateMovementPage;
    const std::string defaults = CommandWithNumbers(
        cmd::kSetPlateMovement, {plate.m_nAtPowerOn + 1, plate.m_nAtMeasurementEnd + 1,
                                 plate.m_nAtRemoteOn + 1, plate.m_nAtRemoteOff + 1});
    if (!CommandAccepted(defaults)) {
        m_record.FailLast();
        message = "Error setting default for plate movement!";
        return false;
    }
    message += "Default for plate movement set successfully\n";
    return true;
}
