// The command transaction: the ready poll before every command and the reading of its reply,
// in the checksummed frame for a Veltrix instrument and in the short frame (STX, text, CR)
// for every other stored type.

#include <cstdint>
#include <string>
#include <string_view>

#include "device/InstrumentCommands.h"
#include "device/InstrumentType.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "support/Clock.h"

namespace {

namespace cmd = device::command;

constexpr int kCommandTimeoutMs = 600;
constexpr int kPollPauseMs = 300;
// After the third error reply the command is given up.
constexpr int kErrorRepliesAllowed = 3;

std::string ShortFrame(std::string_view text) {
    std::string frame(1, STX);
    frame += text;
    frame.push_back(CR);
    return frame;
}

// Removes the leading run of STX and the trailing run of CR; bytes inside stay.
void StripShortFrame(std::string& reply) {
    const std::size_t first = reply.find_first_not_of(STX);
    if (first == std::string::npos) {
        reply.clear();
        return;
    }
    reply.erase(0, first);
    reply.erase(reply.find_last_not_of(CR) + 1);
}

bool IsErrorReply(const std::string& reply) {
    return reply.starts_with(cmd::kErrorReply);
}

// Counts the polls of one SendCommand: the errors still allowed and the time limit.
class ReadyWait {
public:
    explicit ReadyWait(int limitMs)
        : m_start(support::CurrentClock().NowMs()), m_limitMs(limitMs) {}

    // Before each poll: true when the port has gone, or when at least one poll went
    // unanswered and the limit is reached (a limit of 0 allows exactly one poll).
    bool GiveUp(SerialDevice& port) {
        if (port.IsLinkLost()) return true;
        if (m_polls++ > 0 && Waited() >= m_limitMs) m_ranOut = true;
        return m_ranOut;
    }
    std::int64_t Waited() const { return support::CurrentClock().NowMs() - m_start; }
    bool RanOut() const { return m_ranOut; }
    bool ErrorsExhausted() const { return m_errorsLeft == 0; }
    // Shows the error reply; true when it was the last one allowed.
    bool ReportError(const std::string& reply) {
        framework::MessageBox(reply);
        return --m_errorsLeft == 0;
    }

private:
    std::int64_t m_start;
    int m_limitMs;
    int m_polls = 0;
    bool m_ranOut = false;
    int m_errorsLeft = kErrorRepliesAllowed;
};

// The instrument answers "??" in the checksummed frame. Input left from earlier exchanges (a
// late or stray reply) is dropped before each write, or every later reply would be taken for
// the answer to the command after it.
BOOL SendFramed(SerialDevice& port, const std::string& commandText, ReadyWait& wait) {
    BOOL result = TRUE;
    std::string reply;
    while (reply != cmd::kReady) {
        if (wait.GiveUp(port)) return FALSE;
        support::CurrentClock().Sleep(kPollPauseMs);
        port.PurgeInput();
        port.WriteKelvaStringCR(std::string(cmd::kReadyPoll));
        port.ReadKelvaStringCR(reply);
        if (IsErrorReply(reply)) {
            result = FALSE;
            if (wait.ReportError(reply)) return FALSE;
        }
    }
    port.PurgeInput();
    port.WriteKelvaStringCR(commandText);
    return result;
}

// Short frames; input left from earlier exchanges is dropped before each write. After an
// error reply the instrument is sent "H", whose answer is read as it comes.
BOOL SendShortFramed(SerialDevice& port, const std::string& commandText, ReadyWait& wait) {
    BOOL result = TRUE;
    std::string reply;
    while (reply != cmd::kReady) {
        if (wait.GiveUp(port)) return FALSE;
        support::CurrentClock().Sleep(kPollPauseMs);
        port.PurgeInput();
        port.WriteString(ShortFrame(cmd::kShortReadyPoll));
        port.ReadString(reply);
        StripShortFrame(reply);
        if (IsErrorReply(reply)) {
            result = FALSE;
            const bool lastError = wait.ReportError(reply);
            support::CurrentClock().Sleep(kPollPauseMs);
            port.PurgeInput();
            port.WriteString(ShortFrame(cmd::kCommandH));
            port.ReadString(reply);
            if (lastError) return FALSE;
        }
    }
    port.PurgeInput();
    port.WriteString(ShortFrame(commandText));
    return result;
}

}  // namespace

int CVeltrixInstrumentSettingsDlg::ReadReply(std::string& reply) {
    SerialDevice& port = *GetDevice();
    if (m_linkNotices.CheckLost(port)) {
        reply.clear();
        return 0;
    }
    if (GetInstrumentType() == device::kTypeVeltrix) {
        const int n = port.ReadKelvaStringCR(reply);
        if (n <= 0) m_linkNotices.CheckLost(port);
        return n;
    }
    const int n = port.ReadString(reply);
    if (n <= 0) {
        m_linkNotices.CheckLost(port);
        return n;
    }
    StripShortFrame(reply);
    return static_cast<int>(reply.size());
}

// A lost link fails at once. An instrument whose last ready wait ran out is polled once
// only, until it reports ready again.
BOOL CVeltrixInstrumentSettingsDlg::SendCommand(const std::string& command) {
    SerialDevice& port = *GetDevice();
    port.SetTimeout(kCommandTimeoutMs);
    if (m_linkNotices.CheckLost(port)) return FALSE;
    ReadyWait wait(m_linkNotices.NotReady() ? 0 : m_nReadyWaitLimitMs);
    const BOOL result = GetInstrumentType() == device::kTypeVeltrix
                            ? SendFramed(port, command, wait)
                            : SendShortFramed(port, command, wait);
    if (m_linkNotices.CheckLost(port)) return FALSE;
    if (wait.RanOut()) {
        m_linkNotices.ReadyWaitRanOut(port, wait.Waited());
    } else if (!wait.ErrorsExhausted()) {
        m_linkNotices.ReadyAgain();
    }
    return result;
}

void CVeltrixInstrumentSettingsDlg::OnConnected() {
    m_linkNotices.Connected();
}
