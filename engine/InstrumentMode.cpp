// Changing the instrument's mode and port settings, with the local port following it.

#include <string>

#include "device/InstrumentCommands.h"
#include "device/InstrumentType.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "support/ValueString.h"
#include "wizard/InstrumentModePage.h"

namespace {

// The instrument restarts its line before it answers a mode change.
constexpr int kModeChangeTimeoutMs = 10000;

// "DB CNF RCMODE 1 9600 N 8 1". The OXQ emulation is mode 4 on the instrument and runs at
// 7 data bits, even parity, 2 stop bits; an unknown index sends the head alone.
std::string ModeChangeCommand(int modeIndex, const std::string& baudText) {
    ValueString text{std::string(device::command::kChangeMode)};
    switch (modeIndex) {
        case device::kIndexVeltrix:
        case device::kIndexMorvane:
        case device::kIndexDravell:
            text.AppendInt(modeIndex);
            text.AppendText(" ");
            text.AppendString(baudText);
            text.AppendText(" N 8 1");
            break;
        case device::kIndexOxq:
            text.AppendText("4 ");
            text.AppendString(baudText);
            text.AppendText(" E 7 2");
            break;
        default:
            break;
    }
    return text.text;
}

// The local port takes the settings the instrument now uses, at once: it answers the next
// query already at them.
void FollowWithLocalPort(SerialDevice& port, int modeIndex, const std::string& baudText) {
    port.SetBaudRate(ValueString(baudText).ToInt());
    if (modeIndex == device::kIndexOxq) {
        port.SetParity('E');
        port.SetDataBits(7);
        port.SetStopBits(2);
    } else {
        port.SetParity('N');
        port.SetDataBits(8);
        port.SetStopBits(1);
    }
    port.ChangeBaudRate();
    port.SetTerminator(modeIndex == device::kIndexVeltrix ? ETX : CR);
}

}  // namespace

BOOL CVeltrixInstrumentSettingsDlg::ChangeInstrumentMode(int modeIndex) {
    const std::string baudText = m_pInstrumentModePage->m_strBaudRate;
    SendCommand(ModeChangeCommand(modeIndex, baudText));
    SerialDevice& port = *GetDevice();
    port.SetTimeout(kModeChangeTimeoutMs);
    std::string reply;
    ReadReply(reply);
    if (reply != device::command::kAccepted) {
        m_record.RefuseLast();
        m_record.FailLast();
        ShowStepFailure("Error changing instrument mode!");
        return FALSE;
    }
    FollowWithLocalPort(port, modeIndex, baudText);
    ReidentifyInstrument();
    return TRUE;
}
