// The command transaction: the ready poll before every command and the reading of its reply,
// in the checksummed frame for a Veltrix instrument and in the short frame (STX, text, CR)
// for every other stored type. A lost link and a ready wait that ran out are told to the user
// here, once.

#include <string>

#include "device/Framing.h"
#include "device/InstrumentCommands.h"
#include "device/InstrumentType.h"
#include "device/ReadyPoll.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"

namespace {

constexpr int kCommandTimeoutMs = 600;

}  // namespace

namespace {

// How a reply read ended, from the reader's result.
void NoteReply(engine::Exchange& exchange, int result, bool nothingRead, const std::string& reply,
               int timeoutMs) {
    using engine::ExchangeOutcome;
    exchange.reply = reply;
    if (result >= 0 && !nothingRead) {
        exchange.outcome = reply.starts_with(device::command::kErrorReply)
                               ? ExchangeOutcome::ErrorReply
                               : ExchangeOutcome::Answered;
        if (exchange.outcome == ExchangeOutcome::ErrorReply) exchange.errorReply = reply;
        return;
    }
    const auto code =
        nothingRead ? device::ReplyCode::NothingRead : static_cast<device::ReplyCode>(result);
    exchange.readCode = code;
    if (code == device::ReplyCode::NothingRead) {
        exchange.outcome = ExchangeOutcome::NoReply;
        exchange.timeoutMs = timeoutMs;
    } else if (code == device::ReplyCode::ChecksumMismatch) {
        exchange.outcome = ExchangeOutcome::WrongChecksum;
    } else {
        exchange.outcome = ExchangeOutcome::Garbled;
    }
}

void NoteLinkLost(engine::Exchange& exchange, SerialDevice& port) {
    exchange.outcome = engine::ExchangeOutcome::LinkLost;
    exchange.linkLostReason = port.GetLinkLostReason();
}

}  // namespace

int CVeltrixInstrumentSettingsDlg::ReadReply(std::string& reply) {
    SerialDevice& port = *GetDevice();
    engine::Exchange* exchange = m_record.ReplyTarget();
    if (m_linkNotices.CheckLost(port)) {
        reply.clear();
        if (exchange != nullptr) NoteLinkLost(*exchange, port);
        return 0;
    }
    const int timeoutMs = port.GetTimeout();
    bool nothingRead = false;
    const int n =
        device::ReadFrame(port, device::FramingOfType(GetInstrumentType()), reply, &nothingRead);
    if (exchange != nullptr) NoteReply(*exchange, n, nothingRead, reply, timeoutMs);
    if (n <= 0 && m_linkNotices.CheckLost(port) && exchange != nullptr) {
        NoteLinkLost(*exchange, port);
    }
    return n;
}

// A lost link fails at once. An instrument whose last ready wait ran out is polled once only,
// until it reports ready again.
BOOL CVeltrixInstrumentSettingsDlg::SendCommand(const std::string& command) {
    SerialDevice& port = *GetDevice();
    port.SetTimeout(kCommandTimeoutMs);
    const std::size_t index = m_record.Size();
    m_record.Begin(command);
    // The record is read by index: a message box may let other code record meanwhile.
    const auto exchange = [this, index]() -> engine::Exchange& { return m_record.At(index); };
    if (m_linkNotices.CheckLost(port)) {
        NoteLinkLost(exchange(), port);
        return FALSE;
    }
    // Each error reply is shown at once; the wait goes on after the user has closed the box.
    const device::ReadyPollResult result = device::SendWhenReady(
        port, device::FramingOfType(GetInstrumentType()), command,
        [&exchange](const std::string& reply) {
            exchange().errorReply = reply;
            framework::MessageBox(reply);
        },
        m_linkNotices.NotReady() ? 0 : m_nReadyWaitLimitMs);
    exchange().sent = result.outcome == device::ReadyOutcome::Sent;
    if (m_linkNotices.CheckLost(port)) {
        NoteLinkLost(exchange(), port);
        return FALSE;
    }
    if (result.outcome == device::ReadyOutcome::TimedOut) {
        exchange().outcome = engine::ExchangeOutcome::NotReady;
        exchange().timeoutMs = m_nReadyWaitLimitMs;
        // A step that is reading names the setting and the command in its own message.
        if (m_stepReadings == 0) {
            m_linkNotices.ReadyWaitRanOut(port, result.waitedMs);
        } else {
            m_linkNotices.ReadyWaitRanOutQuietly();
        }
    } else if (result.outcome == device::ReadyOutcome::TooManyErrors) {
        exchange().outcome = engine::ExchangeOutcome::ErrorReply;
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
    m_record.Clear();
    m_settings = {};
    const int mode = device::InstrumentTypeIndex(GetInstrumentType());
    if (mode >= 0) m_settings.mode.SetRead(mode);
    m_settings.baud.SetRead(GetDevice()->GetBaudRate());
}
