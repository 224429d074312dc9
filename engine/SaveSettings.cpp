// Making the instrument store its configuration.

#include <string>

#include "device/InstrumentCommands.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"

namespace {

// The instrument writes its configuration memory before it answers.
constexpr int kSaveTimeoutMs = 10000;

}  // namespace

BOOL CVeltrixInstrumentSettingsDlg::SaveSettings() {
    framework::WaitCursor busy;
    // The save stores every setting: it serves none of them alone.
    const engine::SettingTopic topic(m_record, "");
    SendCommand(std::string(device::command::kSaveConfiguration));
    GetDevice()->SetTimeout(kSaveTimeoutMs);
    std::string reply;
    ReadReply(reply);
    if (reply == device::command::kAccepted) return TRUE;
    m_record.RefuseLast();
    m_record.FailLast();
    ShowStepFailure("Error saving instrument settings!");
    return FALSE;
}
