#include "device/ReadyPoll.h"

#include <cstdint>

#include "device/InstrumentCommands.h"
#include "device/SerialDevice.h"
#include "support/Clock.h"

namespace device {

namespace {

constexpr int kPollPauseMs = 300;
// After the third error reply the command is given up.
constexpr int kErrorRepliesAllowed = 3;

// Time spent waiting for the instrument since the start, leaving out the handler's time.
class WaitBound {
public:
    explicit WaitBound(int limitMs) : m_start(Now()), m_limitMs(limitMs) {}

    std::int64_t Waited() const { return Now() - m_start - m_excludedMs; }
    bool Exceeded() const { return Waited() >= m_limitMs; }
    void Exclude(std::int64_t since) { m_excludedMs += Now() - since; }
    static std::int64_t Now() { return support::CurrentClock().NowMs(); }

private:
    std::int64_t m_start;
    int m_limitMs;
    std::int64_t m_excludedMs = 0;
};

// Input left from earlier exchanges (a late or stray reply) is dropped before each write, or
// every later reply would be taken for the answer to the command after it.
void PurgeAndWrite(SerialDevice& port, Framing framing, std::string_view text) {
    port.PurgeInput();
    WriteFrame(port, framing, text);
}

}  // namespace

ReadyPollResult SendWhenReady(SerialDevice& port, Framing framing, std::string_view command,
                              const ErrorReplyHandler& onErrorReply, int limitMs) {
    const std::string_view poll =
        framing == Framing::Checksummed ? command::kReadyPoll : command::kShortReadyPoll;
    support::Clock& clock = support::CurrentClock();
    ReadyPollResult result;
    WaitBound bound(limitMs);
    std::string reply;
    bool polled = false;
    while (reply != command::kReady) {
        result.waitedMs = bound.Waited();
        // A port that has gone is not polled again.
        if (port.IsLinkLost()) {
            result.outcome = ReadyOutcome::LinkLost;
            return result;
        }
        if (polled && bound.Exceeded()) {
            result.outcome = ReadyOutcome::TimedOut;
            return result;
        }
        polled = true;
        clock.Sleep(kPollPauseMs);
        PurgeAndWrite(port, framing, poll);
        ReadFrame(port, framing, reply);
        if (!reply.starts_with(command::kErrorReply)) continue;

        ++result.errorReplies;
        const std::int64_t shown = WaitBound::Now();
        if (onErrorReply) onErrorReply(reply);
        bound.Exclude(shown);
        // The short frame acknowledges the error with "H"; its answer decides the loop unstripped.
        if (framing == Framing::Short) {
            clock.Sleep(kPollPauseMs);
            PurgeAndWrite(port, framing, command::kCommandH);
            port.ReadString(reply);
        }
        if (result.errorReplies == kErrorRepliesAllowed) {
            result.outcome = ReadyOutcome::TooManyErrors;
            return result;
        }
    }
    PurgeAndWrite(port, framing, command);
    return result;
}

}  // namespace device
