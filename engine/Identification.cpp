// The firmware version and its number, and identifying the instrument again after a mode
// change.

#include <string>

#include "device/InstrumentCommands.h"
#include "device/InstrumentType.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "support/ValueString.h"

namespace {

// A type query after a mode change may wait this long: the instrument restarts its line.
constexpr int kTypeQueryTimeoutMs = 2000;
constexpr int kTypeQueryAttempts = 3;

// The version sits in the 3rd to 6th characters, e.g. "3.10" in "V 3.10".
constexpr std::size_t kVersionMinLength = 6;
constexpr std::size_t kVersionStart = 2;
constexpr std::size_t kVersionLength = 4;

}  // namespace

std::string CVeltrixInstrumentSettingsDlg::GetFirmwareVersion() {
    const std::string type = GetInstrumentType();
    if (type == device::kTypeVeltrix) {
        SendCommand(std::string(device::command::kVersionVeltrix));
    } else if (device::InstrumentTypeIndex(type) >= 0) {
        SendCommand(std::string(device::command::kVersion));
    } else {
        return {};
    }
    std::string version;
    ReadReply(version);
    if (const engine::Exchange* exchange = m_record.Last(); exchange->Succeeded()) {
        m_settings.firmware.SetRead(version);
    } else {
        m_settings.firmware.SetFailed(*exchange);
    }
    return version;
}

// "3.10" -> "310" -> "3100": the first '.' and the first blank go, and a '0' is appended, so
// version 3.10 gives 3100, the number the plate-movement defaults need.
int CVeltrixInstrumentSettingsDlg::ParseVersion(const std::string& versionText) {
    if (versionText.size() < kVersionMinLength) return 0;
    ValueString number(versionText.substr(kVersionStart, kVersionLength));
    number.RemoveChar('.');
    number.RemoveChar(' ');
    number.AppendChar('0');
    return number.ToLong();
}

// Only an empty answer is asked again; any other answer ends the queries, and only a known
// code replaces the stored one.
void CVeltrixInstrumentSettingsDlg::ReidentifyInstrument() {
    SerialDevice& port = *GetDevice();
    std::string answer;
    for (int attempt = 0; attempt < kTypeQueryAttempts && answer.empty(); ++attempt) {
        port.SetTimeout(kTypeQueryTimeoutMs);
        answer = port.AskForInstrumentType();
        if (device::InstrumentTypeIndex(answer) >= 0) {
            SetInstrumentType(answer);
            return;
        }
    }
}
