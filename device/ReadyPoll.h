#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "device/Framing.h"

class SerialDevice;

namespace device {

// The longest time the ready poll waits for an instrument that neither becomes ready nor
// reports an error (a busy or silent one), checked before each poll. It counts the time spent
// on the line and in the poll's pauses, not the time the error handler takes (a message box
// the user leaves open).
inline constexpr int kReadyWaitLimitMs = 30000;

enum class ReadyOutcome {
    Sent,           // the instrument answered "S" and the command went out
    TooManyErrors,  // the third error reply: the command was not sent
    TimedOut,       // the wait limit passed: the command was not sent
    LinkLost,       // the port has gone (SerialDevice::IsLinkLost): no more polls
};

struct ReadyPollResult {
    ReadyOutcome outcome = ReadyOutcome::Sent;
    int errorReplies = 0;       // error replies seen while waiting, each passed to the handler
    std::int64_t waitedMs = 0;  // the time counted against the limit
};

// Receives each error reply (a reply beginning with "ERR"), without its framing.
using ErrorReplyHandler = std::function<void(const std::string& reply)>;

// The handshake before every command: every 300 ms the input is purged and the ready poll sent
// ("??" checksummed, "?" in the short frame) until the reply is exactly "S"; then the input is
// purged and the command sent in the same framing. After an error reply in the short frame the
// instrument is sent "H", whose answer is read unstripped and decides the loop like a poll's.
// At least one poll is made, whatever the limit: a limit of 0 makes exactly one.
ReadyPollResult SendWhenReady(SerialDevice& port, Framing framing, std::string_view command,
                              const ErrorReplyHandler& onErrorReply,
                              int limitMs = kReadyWaitLimitMs);

}  // namespace device
