#include "tests/testkit/ScriptedDevice.h"

#include <algorithm>
#include <utility>

namespace testkit_test {

std::ostream& operator<<(std::ostream& os, const LineSettings& line) {
    return os << line.baudRate << ' ' << line.parity << ' ' << line.dataBits << ' '
              << line.stopBits;
}

ScriptedDevice::ScriptedDevice(support::VirtualClock& clock) : m_clock(clock) {}

void ScriptedDevice::Arrive(const std::string& chunk) {
    EndFinishedChunk();
    m_input.push_back(chunk);
}

// A chunk read to its end leaves a silence for a read that goes on; once the line is used
// again (a write, new bytes) that silence lies in the past.
void ScriptedDevice::EndFinishedChunk() {
    if (m_frontStarted && !m_input.empty() && m_input.front().empty()) m_input.pop_front();
    m_frontStarted = false;
}

void ScriptedDevice::ReplyAfterWrite(std::vector<std::string> chunks) {
    m_replies.push_back(std::move(chunks));
}

void ScriptedDevice::SetResponder(Responder responder) {
    m_responder = std::move(responder);
}

void ScriptedDevice::SetWritesFail(bool fail) {
    m_writesFail = fail;
}

void ScriptedDevice::SetOpenResult(BOOL ok, std::string errorText) {
    m_openResult = ok;
    m_openError = std::move(errorText);
}

void ScriptedDevice::SetChangeBaudRateResult(BOOL ok) {
    m_changeBaudRateResult = ok;
}

void ScriptedDevice::SetPorts(std::vector<std::string> labels) {
    m_ports = std::move(labels);
}

std::string ScriptedDevice::Unread() const {
    std::string bytes;
    for (const std::string& chunk : m_input)
        bytes += chunk;
    return bytes;
}

int ScriptedDevice::GetPortCount() {
    return m_ports.empty() ? -1 : static_cast<int>(m_ports.size());
}

std::string ScriptedDevice::GetPortName(int nPort) {
    if (nPort == 0) nPort = GetPortNumber();
    if (nPort < 1 || nPort > static_cast<int>(m_ports.size())) return {};
    return m_ports[static_cast<std::size_t>(nPort - 1)];
}

// Like the real port: clear the error text, close what is open, open, apply the line.
BOOL ScriptedDevice::InitSerial(int nPort, int /*nReceiveQueue*/, int /*nSendQueue*/) {
    m_openCalls.push_back(nPort);
    ClearLastErrorText();
    CloseSerial();
    if (!m_openResult) {
        SetLastErrorText(m_openError);
        return FALSE;
    }
    m_open = true;
    SetPortNumber(nPort);
    if (!ChangeBaudRate()) {
        SetLastErrorText("\n --- ERR: ChangeBaudRate");
        CloseSerial();
        return FALSE;
    }
    return TRUE;
}

BOOL ScriptedDevice::CloseSerial() {
    m_open = false;
    return TRUE;
}

BOOL ScriptedDevice::ChangeBaudRate() {
    if (!m_changeBaudRateResult) return FALSE;
    m_appliedLines.push_back({GetBaudRate(), GetParity(), GetDataBits(), GetStopBits()});
    return TRUE;
}

void ScriptedDevice::SetTimeout(int nTimeoutMs) {
    m_timeoutChanges.push_back(nTimeoutMs);
    SerialDevice::SetTimeout(nTimeoutMs);
}

void ScriptedDevice::SetTerminator(char cTerminator) {
    m_terminatorChanges.push_back(cTerminator);
    SerialDevice::SetTerminator(cTerminator);
}

bool ScriptedDevice::NextByte(unsigned char& byte) {
    if (!m_input.empty() && !m_input.front().empty()) {
        byte = static_cast<unsigned char>(m_input.front().front());
        m_input.front().erase(0, 1);
        m_frontStarted = true;
        return true;
    }
    // Silence: the read waits out its time-out, and the next chunk is what comes after it.
    if (!m_input.empty()) m_input.pop_front();
    m_frontStarted = false;
    m_clock.Advance(std::max(GetTimeout(), 0));
    return false;
}

int ScriptedDevice::ReadString(std::string& str) {
    str.clear();
    const auto terminator = static_cast<unsigned char>(GetTerminator());
    unsigned char byte = 0;
    while (NextByte(byte)) {
        str.push_back(static_cast<char>(byte));
        if (byte == terminator) break;
    }
    return static_cast<int>(str.size());
}

int ScriptedDevice::ReadBytes(unsigned char* pBuffer, int nCount) {
    if (pBuffer == nullptr || nCount <= 0) return 0;
    int count = 0;
    while (count < nCount && NextByte(pBuffer[count]))
        ++count;
    return count;
}

BOOL ScriptedDevice::WriteBytes(const unsigned char* pBuffer, int nCount) {
    if (m_writesFail || nCount < 0 || (pBuffer == nullptr && nCount > 0)) {
        ++m_failedWrites;
        return FALSE;
    }
    std::string written;
    if (nCount > 0)
        written.assign(reinterpret_cast<const char*>(pBuffer), static_cast<std::size_t>(nCount));
    m_writes.push_back(written);
    EndFinishedChunk();
    if (!m_replies.empty()) {
        for (std::string& chunk : m_replies.front())
            m_input.push_back(std::move(chunk));
        m_replies.pop_front();
    }
    if (m_responder) m_responder(*this, written);
    return TRUE;
}

int ScriptedDevice::GetInputCount() {
    return static_cast<int>(Unread().size());
}

int ScriptedDevice::GetOutputCount() {
    return 0;
}

BOOL ScriptedDevice::PurgeInput() {
    ++m_purges;
    m_input.clear();
    m_frontStarted = false;
    return TRUE;
}

BOOL ScriptedDevice::PurgeOutput() {
    return TRUE;
}

}  // namespace testkit_test
