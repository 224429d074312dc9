#pragma once

#include <deque>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "device/SerialDevice.h"
#include "support/Clock.h"

namespace testkit_test {

// Line settings as ChangeBaudRate applied them.
struct LineSettings {
    int baudRate = 0;
    char parity = 0;
    int dataBits = 0;
    int stopBits = 0;

    bool operator==(const LineSettings&) const = default;
};
std::ostream& operator<<(std::ostream& os, const LineSettings& line);

// A serial device whose far end is played by the test. It reads and writes like the real port
// on a virtual clock, and records the host's side so tests can assert the wire byte for byte.
//
// Received bytes arrive in chunks. A read takes bytes from the current chunk; at its end the
// line falls silent: a read that goes on stops as on a time-out (the clock advances by
// GetTimeout()) and the next read starts on the next chunk. An empty chunk is a silence of its
// own. The silence after a chunk read to its end is over once the host writes or new bytes
// arrive. Chunks arrive either at once (Arrive) or only after a write of the host
// (ReplyAfterWrite, or a responder that answers each write).
class ScriptedDevice : public SerialDevice {
public:
    // Called after each successful write with the bytes written; may Arrive() replies.
    using Responder = std::function<void(ScriptedDevice& device, const std::string& written)>;

    // The clock is advanced by the time-outs of silent reads; the pauses of the protocol go
    // through support::CurrentClock(), which the test sets to the same clock (VirtualTime).
    explicit ScriptedDevice(support::VirtualClock& clock);

    // --- The instrument's side ---
    // A chunk that has already arrived: PurgeInput drops it.
    void Arrive(const std::string& chunk);
    // The reply to one later write, in chunks, arriving after it. Successive calls answer
    // successive writes; an empty list leaves that write unanswered.
    void ReplyAfterWrite(std::vector<std::string> chunks);
    void SetResponder(Responder responder);
    // While set, WriteBytes fails: nothing reaches the line and nothing answers.
    void SetWritesFail(bool fail);
    // The result of the next InitSerial calls, and the last error text of a failed one.
    void SetOpenResult(BOOL ok, std::string errorText = "\n --- ERR: CreateFile");
    void SetChangeBaudRateResult(BOOL ok);
    // Port labels; labels[0] is port 1. Without labels GetPortCount is -1.
    void SetPorts(std::vector<std::string> labels);

    // --- What the host did ---
    // Each successful write as one entry, exact bytes.
    const std::vector<std::string>& Writes() const { return m_writes; }
    int FailedWrites() const { return m_failedWrites; }
    // Bytes that have arrived and are not read yet.
    std::string Unread() const;
    // Every SetTimeout and SetTerminator value, in order.
    const std::vector<int>& TimeoutChanges() const { return m_timeoutChanges; }
    const std::vector<char>& TerminatorChanges() const { return m_terminatorChanges; }
    // Line settings of every successful ChangeBaudRate (InitSerial applies them too).
    const std::vector<LineSettings>& AppliedLines() const { return m_appliedLines; }
    // Port numbers of every InitSerial call.
    const std::vector<int>& OpenCalls() const { return m_openCalls; }
    bool IsOpen() const { return m_open; }
    int PurgeCount() const { return m_purges; }
    support::VirtualClock& Clock() { return m_clock; }

    // --- Transport of SerialDevice ---
    int GetPortCount() override;
    std::string GetPortName(int nPort) override;
    BOOL InitSerial(int nPort, int nReceiveQueue, int nSendQueue) override;
    using SerialDevice::InitSerial;
    BOOL CloseSerial() override;
    BOOL ChangeBaudRate() override;
    void SetTimeout(int nTimeoutMs) override;
    void SetTerminator(char cTerminator) override;
    int ReadString(std::string& str) override;
    int ReadBytes(unsigned char* pBuffer, int nCount) override;
    BOOL WriteBytes(const unsigned char* pBuffer, int nCount) override;
    int GetInputCount() override;
    int GetOutputCount() override;
    BOOL PurgeInput() override;
    BOOL PurgeOutput() override;

private:
    // Takes the next byte of the current chunk; false on silence, after waiting the time-out.
    bool NextByte(unsigned char& byte);
    void EndFinishedChunk();

    support::VirtualClock& m_clock;
    std::deque<std::string> m_input;  // arrived chunks; an emptied chunk is a pending silence
    bool m_frontStarted = false;      // bytes of the first chunk have been read
    std::deque<std::vector<std::string>> m_replies;
    Responder m_responder;
    bool m_writesFail = false;
    BOOL m_openResult = TRUE;
    std::string m_openError;
    BOOL m_changeBaudRateResult = TRUE;
    std::vector<std::string> m_ports;
    bool m_open = false;

    std::vector<std::string> m_writes;
    int m_failedWrites = 0;
    std::vector<int> m_timeoutChanges;
    std::vector<char> m_terminatorChanges;
    std::vector<LineSettings> m_appliedLines;
    std::vector<int> m_openCalls;
    int m_purges = 0;
};

}  // namespace testkit_test
