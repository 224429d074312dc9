// Making the instrument store its configuration.

#include <cstdio>
#include <string>

#include "device/InstrumentCommands.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"

namespace {

// The instrument writes its configuration memory before it answers.
constexpr int kSaveTimeoutMs = 10000;

// A reply as the user can read it: bytes that print as themselves, the others as \xNN.
std::string Readable(const std::string& reply) {
    std::string text;
    for (const char c : reply) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            text += hex;
        }
    }
    return text;
}

// Why the store failed and what the user can do, after the instrument's own line.
std::string SaveFailure(const std::string& reply) {
    const std::string cause = reply.empty() ? "The instrument did not answer within " +
                                                  std::to_string(kSaveTimeoutMs / 1000) + " s."
                                            : "The instrument answered \"" + Readable(reply) +
                                                  "\" instead of \"" +
                                                  std::string(device::command::kAccepted) + "\".";
    return "Error saving instrument settings!\n" + cause +
           "\nThe settings were sent but not stored: the instrument keeps them only until it is "
           "switched off.\nPress Finish to try again, or check the instrument and its cable.";
}

}  // namespace

BOOL CVeltrixInstrumentSettingsDlg::SaveSettings() {
    // Cancel pressed while the settings were being sent: they are not stored.
    if (framework::StopRequested()) {
        Close();
        return FALSE;
    }
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
    ShowStepFailure(SaveFailure(reply));
    return FALSE;
}
