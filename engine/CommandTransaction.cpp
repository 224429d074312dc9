// The command transaction: the ready poll before every command and the reading of its reply,
// in the checksummed frame for a Veltrix instrument and in the short frame (STX, text, CR)
// for every other stored type.

#include <string>

#include "device/Framing.h"
#include "device/ReadyPoll.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"

namespace {

constexpr int kCommandTimeoutMs = 600;

}  // namespace

int CVeltrixInstrumentSettingsDlg::ReadReply(std::string& reply) {
    return device::ReadFrame(*GetDevice(), device::FramingOfType(GetInstrumentType()), reply);
}

BOOL CVeltrixInstrumentSettingsDlg::SendCommand(const std::string& command) {
    SerialDevice& port = *GetDevice();
    port.SetTimeout(kCommandTimeoutMs);
    // Each error reply is shown at once; the wait goes on after the user has closed the box.
    const device::ReadyPollResult result =
        device::SendWhenReady(port, device::FramingOfType(GetInstrumentType()), command,
                              [](const std::string& reply) { framework::MessageBox(reply); });
    return result.outcome == device::ReadyOutcome::Sent && result.errorReplies == 0 ? TRUE : FALSE;
}
