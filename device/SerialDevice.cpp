#include "device/SerialDevice.h"

#include <climits>
#include <cstring>
#include <string_view>

#include "support/Clock.h"
#include "support/ValueString.h"

namespace {

constexpr int kDefaultReceiveQueue = 65534;
constexpr int kDefaultSendQueue = 4096;
// The checksum and CR after a framed reply's ETX follow at once; a longer gap is an error.
constexpr int kTrailerTimeoutMs = 100;
// Pause per started group of ten received bytes after a failed framed read, and before reading
// an identification answer.
constexpr int kSettleMs = 100;

// The identification queries: a short frame followed by a zero byte.
constexpr char kInstrumentTypeQuery[] = {STX, '!', CR, '\0'};
constexpr char kWasherTypeQuery[] = {STX, 'B', 'R', CR, '\0'};

// One WriteBytes call with all bytes of the text; a text too long for one call is not sent.
BOOL WriteAll(SerialDevice& device, const std::string& bytes) {
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) return FALSE;
    return device.WriteBytes(reinterpret_cast<const unsigned char*>(bytes.data()),
                             static_cast<int>(bytes.size()));
}

std::string Framed(const std::string& command, bool withCR) {
    std::string frame;
    frame.reserve(command.size() + 4);
    frame.push_back(STX);
    frame += command;
    frame.push_back(ETX);
    unsigned char checksum = 0;
    for (char c : frame)
        checksum ^= static_cast<unsigned char>(c);
    frame.push_back(static_cast<char>(checksum));
    if (withCR) frame.push_back(CR);
    return frame;
}

const char* ReadErrorText(int code) {
    switch (code) {
        case -1:
            return "nothing read, ";
        case -2:
            return "string read but Stx not found, ";
        case -3:
            return "string read but Etx not found, ";
        case -4:
            return "string read but Checksum not found, ";
        case -5:
            return "string read but <CR> not found, ";
        default:
            return "Checksum did not fit, ";
    }
}

const char* QueryErrorText(int code, const char* writeError) {
    switch (code) {
        case -7:
            return writeError;
        case -5:
            return "string read but <CR> not found";
        case -2:
            return "string read but Stx not found";
        default:
            return "nothing read";
    }
}

// Sends an identification query and returns the text of its short-frame answer, or empty text
// with the reason in the device's last error text.
std::string AskForType(SerialDevice& device, std::string_view query, const char* operation,
                       const char* writeError) {
    std::string result;
    int code = 0;
    // An answer left from an earlier query must not be taken for this one.
    device.PurgeInput();
    if (!WriteAll(device, std::string(query))) {
        code = -7;
    } else {
        const char terminator = device.GetTerminator();
        support::CurrentClock().Sleep(kSettleMs);
        device.SetTerminator(CR);
        std::string received;
        if (device.ReadString(received) <= 0) {
            code = -1;
        } else {
            const std::size_t stx = received.find(STX);
            const std::size_t cr = stx == std::string::npos ? stx : received.find(CR, stx);
            if (stx == std::string::npos) {
                code = -2;
            } else if (cr == std::string::npos) {
                code = -5;
            } else {
                result = received.substr(stx + 1, cr - stx - 1);
            }
        }
        device.SetTerminator(terminator);
    }
    if (code != 0) {
        device.SetLastErrorText("ERR: " + std::to_string(code) + " " + operation + " - " +
                                QueryErrorText(code, writeError));
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
    return WriteAll(*this, Framed(strCommand, true));
}

BOOL SerialDevice::WriteKelvaStringNoCR(const std::string& strCommand) {
    return WriteAll(*this, Framed(strCommand, false));
}

std::string SerialDevice::AskForInstrumentType() {
    return AskForType(*this, {kInstrumentTypeQuery, sizeof kInstrumentTypeQuery},
                      "AskForInstrumentType", "could not write Stx!CR");
}

std::string SerialDevice::AskForWasherType() {
    return AskForType(*this, {kWasherTypeQuery, sizeof kWasherTypeQuery}, "AskForWasherType",
                      "could not write StxBRCR");
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

// Reads STX, text, ETX, checksum and (when expected) CR. The text is read up to the ETX under
// the caller's time-out; the checksum and CR must follow within 100 ms. Bytes before the STX
// are skipped. Time-out and terminator are restored on every path.
int SerialDevice::ReadKelvaString(std::string& strOut, BOOL bExpectCR) {
    strOut.clear();
    const int nTimeout = GetTimeout();
    const char cTerminator = GetTerminator();
    SetTerminator(ETX);

    int nCode = 0;
    std::string strReceived;
    std::size_t nStx = std::string::npos;
    std::size_t nEtx = std::string::npos;
    if (ReadString(strReceived) <= 0) {
        strReceived.clear();
        nCode = -1;
    } else if ((nStx = strReceived.find(STX)) == std::string::npos) {
        nCode = -2;
    } else {
        nEtx = strReceived.find(ETX, nStx);
        if (nEtx == std::string::npos) {
            // The reply may still be under way: one more read completes it.
            std::string strMore;
            if (ReadString(strMore) > 0) strReceived += strMore;
            nEtx = strReceived.find(ETX, nStx);
        }
        if (nEtx == std::string::npos) nCode = -3;
    }

    if (nCode == 0) {
        SetTimeout(kTrailerTimeoutMs);
        unsigned char cChecksum = 0;
        unsigned char cLast = 0;
        if (ReadBytes(&cChecksum, 1) <= 0) {
            nCode = -4;
        } else if (bExpectCR && (ReadBytes(&cLast, 1) <= 0 || cLast != CR)) {
            nCode = -5;
        } else {
            unsigned char cComputed = 0;
            for (std::size_t i = nStx; i <= nEtx; ++i) {
                cComputed ^= static_cast<unsigned char>(strReceived[i]);
            }
            if (cComputed != cChecksum) nCode = -6;
        }
    }

    if (nCode == 0) {
        strOut = strReceived.substr(nStx + 1, nEtx - nStx - 1);
        SetTimeout(nTimeout);
        SetTerminator(cTerminator);
        return static_cast<int>(strOut.size());
    }

    // Give the rest of a garbled reply time to arrive, so it does not spoil the next read.
    const std::size_t nBytes = strReceived.size();
    for (std::size_t nGroup = 0; nGroup < (nBytes + 9) / 10; ++nGroup) {
        support::CurrentClock().Sleep(kSettleMs);
    }
    SetLastErrorText("ERR: " + std::to_string(nCode) + " ReadKelvaString - " +
                     ReadErrorText(nCode) + std::to_string(nBytes) + " bytes read");
    SetTimeout(nTimeout);
    SetTerminator(cTerminator);
    return nCode;
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
