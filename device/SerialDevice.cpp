#include "device/SerialDevice.h"

#include <climits>
#include <cstring>
#include <string_view>

#include "device/Framing.h"
#include "device/ReplyCode.h"
#include "support/Clock.h"
#include "support/ValueString.h"

namespace {

constexpr int kDefaultReceiveQueue = 65534;
constexpr int kDefaultSendQueue = 4096;
// Pause before reading an identification answer.
constexpr int kAnswerPauseMs = 100;

// One WriteBytes call with all bytes of the text; a text too long for one call is not sent.
BOOL WriteAll(SerialDevice& device, const std::string& bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return FALSE;
    return device.WriteBytes(reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<int>(bytes.size()));
}

// The answer text between the first STX and the first CR after it.
device::ReplyCode ReadTypeAnswer(SerialDevice& device, std::string& answer) {
    std::string received;
    if (device.ReadString(received) <= 0) return device::ReplyCode::NothingRead;
    const std::size_t stx = received.find(STX);
    if (stx == std::string::npos) return device::ReplyCode::StxNotFound;
    const std::size_t cr = received.find(CR, stx);
    if (cr == std::string::npos) return device::ReplyCode::CrNotFound;
    answer = received.substr(stx + 1, cr - stx - 1);
    return device::ReplyCode::Ok;
}

// Sends an identification query (a short frame and a zero byte) and returns the text of its
// short-frame answer, or empty text with the reason in the device's last error text.
std::string AskForType(SerialDevice& device, std::string_view queryText, const char* operation,
                       const char* queryName) {
    std::string result;
    device::ReplyCode code = device::ReplyCode::WriteFailed;
    // An answer left from an earlier query must not be taken for this one.
    device.PurgeInput();
    if (WriteAll(device, device::ShortFrame(queryText) + '\0')) {
        const char terminator = device.GetTerminator();
        support::CurrentClock().Sleep(kAnswerPauseMs);
        device.SetTerminator(CR);
        code = ReadTypeAnswer(device, result);
        device.SetTerminator(terminator);
    }
    if (code != device::ReplyCode::Ok) {
        std::string message = device::ReplyCodeMessage(code, operation);
        if (code == device::ReplyCode::WriteFailed) message += std::string(" ") + queryName;
        device.SetLastErrorText(message);
    }
    return result;
}

}  // namespace

SerialDevice::~SerialDevice() = default;

int SerialDevice::GetPortCount() {
    return -1;
}

std::string SerialDevice::GetPortName(int /*nPort*/) {
    return {};
}

// The device name is what a label such as "Serial0  ( COM1 )" gives in its last parentheses,
// with a colon: "COM1:".
std::string SerialDevice::GetPortDeviceName(int nPort) {
    const std::string label = GetPortName(nPort);
    std::string name;
    const std::size_t open = label.rfind('(');
    if (open != std::string::npos) {
        const std::string tail = label.substr(open + 1);
        name = tail.empty() ? label.substr(0, open) : tail.substr(0, tail.find(')'));
    } else {
        name = label.substr(0, label.find(')'));
    }
    ValueString trimmed(name);
    trimmed.Trim();
    if (!trimmed.text.empty() && trimmed.text.find(':') == std::string::npos) {
        trimmed.AppendChar(':');
    }
    return trimmed.text;
}

BOOL SerialDevice::InitSerial(int nPort, int /*nReceiveQueue*/, int /*nSendQueue*/) {
    if (nPort > 0) m_nPortNumber = nPort;
    SetLastErrorText("\nInitSerial must be implemented by subclass!");
    return FALSE;
}

BOOL SerialDevice::InitSerial(int nPort) {
    return InitSerial(nPort, kDefaultReceiveQueue, kDefaultSendQueue);
}

BOOL SerialDevice::CloseSerial() {
    return TRUE;
}

int SerialDevice::GetBaudRate() {
    return m_nBaudRate;
}

void SerialDevice::SetBaudRate(int nBaudRate) {
    m_nBaudRate = nBaudRate;
}

char SerialDevice::GetParity() {
    return m_cParity;
}

void SerialDevice::SetParity(char cParity) {
    m_cParity = cParity;
}

int SerialDevice::GetDataBits() {
    return m_nDataBits;
}

void SerialDevice::SetDataBits(int nDataBits) {
    m_nDataBits = nDataBits;
}

int SerialDevice::GetStopBits() {
    return m_nStopBits;
}

void SerialDevice::SetStopBits(int nStopBits) {
    m_nStopBits = nStopBits;
}

BOOL SerialDevice::ChangeBaudRate() {
    return TRUE;
}

std::string SerialDevice::GetBaudRateList() {
    return "110 300 600 1200 2400 4800 9600 14400 19200 38400 56000 57600 115200 128000 256000";
}

int SerialDevice::GetTimeout() {
    return m_nTimeout;
}

void SerialDevice::SetTimeout(int nTimeoutMs) {
    m_nTimeout = nTimeoutMs;
}

char SerialDevice::GetTerminator() {
    return m_cTerminator;
}

void SerialDevice::SetTerminator(char cTerminator) {
    m_cTerminator = cTerminator;
}

int SerialDevice::ReadString(std::string& str) {
    str.clear();
    return 0;
}

// Clears the first and the last byte of the buffer; an empty buffer has neither.
int SerialDevice::ReadBytes(unsigned char* pBuffer, int nCount) {
    if (pBuffer == nullptr || nCount <= 0) return 0;
    pBuffer[0] = 0;
    pBuffer[nCount - 1] = 0;
    return 0;
}

int SerialDevice::ReadKelvaStringCR(std::string& strOut) {
    return ReadKelvaString(strOut, TRUE);
}

int SerialDevice::ReadKelvaStringNoCR(std::string& strOut) {
    return ReadKelvaString(strOut, FALSE);
}

BOOL SerialDevice::WriteString(const std::string& str) {
    return WriteAll(*this, str);
}

BOOL SerialDevice::WriteBytes(const unsigned char* /*pBuffer*/, int /*nCount*/) {
    return FALSE;
}

BOOL SerialDevice::WriteKelvaStringCR(const std::string& strCommand) {
    return WriteAll(*this, device::ChecksummedFrame(strCommand, true));
}

BOOL SerialDevice::WriteKelvaStringNoCR(const std::string& strCommand) {
    return WriteAll(*this, device::ChecksummedFrame(strCommand, false));
}

std::string SerialDevice::AskForInstrumentType() {
    return AskForType(*this, "!", "AskForInstrumentType", "Stx!CR");
}

std::string SerialDevice::AskForWasherType() {
    return AskForType(*this, "BR", "AskForWasherType", "StxBRCR");
}

int SerialDevice::GetInputCount() {
    return 0;
}

int SerialDevice::GetOutputCount() {
    return 0;
}

BOOL SerialDevice::PurgeInput() {
    return FALSE;
}

BOOL SerialDevice::PurgeOutput() {
    return FALSE;
}

std::string SerialDevice::GetLastErrorText() {
    return m_strLastError;
}

void SerialDevice::ClearLastErrorText() {
    m_strLastError.clear();
}

void SerialDevice::SetLastErrorText(const std::string& strText) {
    m_strLastError = strText;
}

int SerialDevice::ReadKelvaString(std::string& strOut, BOOL bExpectCR) {
    return device::ReadChecksummedReply(*this, strOut, bExpectCR);
}

// The caller provides at least the text's length plus one bytes.
int SerialDevice::CopyToBuffer(unsigned char* pBuffer, const std::string& str) {
    if (pBuffer == nullptr) return 0;
    std::memcpy(pBuffer, str.data(), str.size());
    pBuffer[str.size()] = 0;
    return static_cast<int>(str.size());
}

int SerialDevice::GetPortNumber() {
    return m_nPortNumber;
}

void SerialDevice::SetPortNumber(int nPort) {
    m_nPortNumber = nPort;
}

BOOL SerialDevice::IsLinkLost() {
    return FALSE;
}

std::string SerialDevice::GetLinkLostReason() {
    return {};
}
