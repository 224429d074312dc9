#pragma once

// What the sheet tells the user when the line or the instrument fails, and no more than that:
// a lost link once per input of the user (every command of the step then fails at once, and
// one message says why and what to do), and a ready wait that ran out once, until the
// instrument reports ready again (later commands meanwhile poll once instead of waiting the
// whole bound again).
//   engine::LinkNotices notices;
//   if (notices.CheckLost(device)) return FALSE;      // says so, unless it did already
//   notices.ReadyWaitRanOut(device, waitedMs);         // says so, once

#include <cstdint>
#include <string>

class SerialDevice;

namespace engine {

// "The connection to the instrument on /dev/ttyUSB0  ( COM1 ) was lost: Input/output error.
// Go back to step 1 to connect again."
std::string LostLinkMessage(SerialDevice& device);
// "The instrument on /dev/ttyUSB0  ( COM1 ) did not report ready within 30 s."
std::string NotReadyMessage(SerialDevice& device, std::int64_t waitedMs);

class LinkNotices {
public:
    // True when the device's link is lost; then shows the message, unless it was shown since
    // the user's last input.
    bool CheckLost(SerialDevice& device);
    // The ready wait reached its bound on a live port: says so unless it said so already
    // and the instrument has not been ready since.
    void ReadyWaitRanOut(SerialDevice& device, std::int64_t waitedMs);
    // The same, when the caller tells the user itself.
    void ReadyWaitRanOutQuietly() { m_notReady = true; }
    // A ready poll was answered.
    void ReadyAgain() { m_notReady = false; }
    // The last ready wait ran out and no ready poll has been answered since.
    bool NotReady() const { return m_notReady; }
    // Step 1 connected: the instrument's readiness is not known.
    void Connected() { m_notReady = false; }

private:
    bool m_lostShown = false;
    unsigned long m_lostShownAtInput = 0;
    bool m_notReady = false;
};

}  // namespace engine
