// The command transaction: the ready poll before every command and the reading of its reply,
// in the checksummed frame for a Veltrix instrument and in the short frame (STX, text, CR)
// for every other stored type. A lost link and a ready wait that ran out are told to the user
// here, once.

#include <string>

#include "device/Framing.h"
#include "device/ReadyPoll.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"

namespace {

constexpr int kCommandTimeoutMs = 600;

}  // namespace

int CVeltrixInstrumentSettingsDlg::ReadReply(std::string& reply) {
    SerialDevice& port = *GetDevice();
    if (m_linkNotices.CheckLost(port)) {
        reply.clear();
        return 0;
    }
    const int n = device::ReadFrame(port, device::FramingOfType(GetInstrumentType()), reply);
    if (n <= 0) m_linkNotices.CheckLost(port);
    return n;
}

// A lost link fails at once. An instrument whose last ready wait ran out is polled once only,
// until it reports ready again.
BOOL CVeltrixInstrumentSettingsDlg::SendCommand(const std::string& command) {
    SerialDevice& port = *GetDevice();
    port.SetTimeout(kCommandTimeoutMs);
    if (m_linkNotices.CheckLost(port)) return FALSE;
    // Each error reply is shown at once; the wait goes on after the user has closed the box.
    const device::ReadyPollResult result = device::SendWhenReady(
        port, device::FramingOfType(GetInstrumentType()), command,
        [](const std::string& reply) { framework::MessageBox(reply); },
        m_linkNotices.NotReady() ? 0 : m_nReadyWaitLimitMs);
    if (m_linkNotices.CheckLost(port)) return FALSE;
    if (result.outcome == device::ReadyOutcome::TimedOut) {
        m_linkNotices.ReadyWaitRanOut(port, result.waitedMs);
    } else if (result.outcome == device::ReadyOutcome::Sent) {
        m_linkNotices.ReadyAgain();
    }
    return result.outcome == device::ReadyOutcome::Sent && result.errorReplies == 0 ? TRUE : FALSE;
}

void CVeltrixInstrumentSettingsDlg::ShowStepFailure(const std::string& text) {
    if (!text.empty() && !GetDevice()->IsLinkLost()) framework::MessageBox(text);
}

void CVeltrixInstrumentSettingsDlg::OnConnected() {
    m_linkNotices.Connected();
}
