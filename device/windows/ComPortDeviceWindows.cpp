#include "device/windows/ComPortDeviceWindows.h"

#include <algorithm>
#include <climits>

#include "device/windows/PortSourceWindows.h"
#include "device/windows/SerialOsWindows.h"

namespace {

HANDLE AsHandle(void* port) {
    return static_cast<HANDLE>(port);
}

// Whether a failed transfer means that the port has gone (a USB adapter unplugged, the line
// hung up) rather than a passing fault: after these no later call on the handle succeeds.
bool MeansPortGone(DWORD error) {
    switch (error) {
        case ERROR_ACCESS_DENIED:
        case ERROR_NOT_READY:
        case ERROR_BAD_COMMAND:
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_DEVICE_REMOVED:
            return true;
        default:
            return false;
    }
}

}  // namespace

namespace device {

std::unique_ptr<ComPortDevice> MakeComPortDevice() {
    return std::make_unique<ComPortDeviceWindows>();
}

}  // namespace device

ComPortDeviceWindows::ComPortDeviceWindows() : ComPortDeviceWindows(device::CurrentSerialOs()) {}

ComPortDeviceWindows::ComPortDeviceWindows(device::SerialOsWindows& os) : m_os(os) {
    EnumeratePorts();
}

ComPortDeviceWindows::~ComPortDeviceWindows() {
    ComPortDeviceWindows::CloseSerial();
}

BOOL ComPortDeviceWindows::CloseSerial() {
    if (m_hPort) m_os.Close(AsHandle(m_hPort));
    m_hPort = nullptr;
    return TRUE;
}

BOOL ComPortDeviceWindows::ChangeBaudRate() {
    const std::string log = "\nChangeBaudRate()";
    const HANDLE port = AsHandle(m_hPort);
    DCB dcb{};
    dcb.DCBlength = sizeof(dcb);
    if (!port || !m_os.GetState(port, dcb)) {
        SetLastErrorText(log + " --- ERR: GetCommState");
        return FALSE;
    }

    // Everything else in the block (flow control, XON/XOFF, error handling) stays as the port
    // reported it.
    const int baudRate = GetBaudRate();
    const int dataBits = GetDataBits();
    dcb.BaudRate = static_cast<DWORD>(baudRate);
    dcb.ByteSize = static_cast<BYTE>(dataBits);
    switch (GetParity()) {
        case 'N':
            dcb.Parity = NOPARITY;
            break;
        case 'O':
            dcb.Parity = ODDPARITY;
            break;
        case 'E':
            dcb.Parity = EVENPARITY;
            break;
        default:
            break;
    }
    switch (GetStopBits()) {
        case 1:
            dcb.StopBits = ONESTOPBIT;
            break;
        case 2:
            dcb.StopBits = TWOSTOPBITS;
            break;
        default:
            break;
    }
    dcb.EvtChar = '\r';

    // A rate of 0 or less or a character size outside 5 to 8 would be cut to fit the block's
    // fields and set something else than asked; it is refused instead.
    const bool fits = baudRate > 0 && dataBits >= 5 && dataBits <= 8;
    const bool applied = fits && m_os.SetState(port, dcb);
    DWORD mask = 0;
    if (m_os.GetMask(port, mask)) m_os.SetMask(port, mask | EV_RXFLAG);

    if (!applied) {
        SetLastErrorText(log + " --- ERR: SetCommState");
        return FALSE;
    }
    return TRUE;
}

int ComPortDeviceWindows::GetInputCount() {
    COMSTAT status{};
    if (!m_hPort || !m_os.ClearError(AsHandle(m_hPort), status)) return 0;
    return static_cast<int>(std::min<DWORD>(status.cbInQue, INT_MAX));
}

int ComPortDeviceWindows::GetOutputCount() {
    COMSTAT status{};
    if (!m_hPort || !m_os.ClearError(AsHandle(m_hPort), status)) return 0;
    return static_cast<int>(std::min<DWORD>(status.cbOutQue, INT_MAX));
}

BOOL ComPortDeviceWindows::PurgeInput() {
    return Purge(PURGE_RXABORT | PURGE_RXCLEAR);
}

BOOL ComPortDeviceWindows::PurgeOutput() {
    return Purge(PURGE_TXABORT | PURGE_TXCLEAR);
}

BOOL ComPortDeviceWindows::Purge(std::uint32_t flags) {
    if (!m_hPort || IsLinkLost()) return FALSE;
    if (m_os.Purge(AsHandle(m_hPort), flags)) return TRUE;
    NoteFailure(m_os.LastError());
    return FALSE;
}

void ComPortDeviceWindows::NoteFailure(std::uint32_t error) {
    if (m_hPort && !IsLinkLost() && MeansPortGone(error)) {
        const std::string text = device::ErrorText(error);
        m_strLinkLostReason = text.empty() ? "error " + std::to_string(error) : text;
    }
}

// The port's own name (\\.\COM3) for a device key, or the file that the port map gave for it.
// No fixed buffer: any device name makes a path.
bool ComPortDeviceWindows::OpenPort(const std::string& key, int& error) {
    std::string path = PortFile(key);
    if (path.empty()) path = key;
    if (!path.starts_with("\\\\.\\")) path = "\\\\.\\" + path;
    const HANDLE port = m_os.Open(path);
    if (port == INVALID_HANDLE_VALUE) {
        // Shown as the system's code, in decimal as a signed number.
        error = static_cast<int>(m_os.LastError());
        return false;
    }
    m_hPort = port;
    return true;
}

std::string ComPortDeviceWindows::OpenFailureReason(int code) {
    const auto error = static_cast<DWORD>(code);
    std::string reason = "\n --- " + device::ErrorText(error);
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        reason += " (the port is in use by another program)";
    } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        reason += " (there is no such port)";
    }
    return reason;
}

bool ComPortDeviceWindows::SetReceiveEvents() {
    return m_os.SetMask(AsHandle(m_hPort), EV_RXCHAR);
}

bool ComPortDeviceWindows::SetupQueues(int nReceiveQueue, int nSendQueue) {
    const HANDLE port = AsHandle(m_hPort);
    return m_os.Setup(port, static_cast<DWORD>(nReceiveQueue), static_cast<DWORD>(nSendQueue)) &&
           m_os.Purge(port, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
}

// The rule of the device's time-out t: a byte may take t after the one before it, a read of n
// bytes n + readWaitMs in all, a write of n bytes n + t.
bool ComPortDeviceWindows::SetPortTimeouts(long long readWaitMs) {
    const HANDLE port = AsHandle(m_hPort);
    COMMTIMEOUTS timeouts{};
    if (!port || !m_os.GetTimeouts(port, timeouts)) return false;
    const auto t = static_cast<DWORD>(TimeoutMs());
    timeouts.ReadIntervalTimeout = t;
    timeouts.ReadTotalTimeoutMultiplier = 1;
    timeouts.ReadTotalTimeoutConstant =
        static_cast<DWORD>(std::clamp<long long>(readWaitMs, 0, MAXDWORD - 1));
    timeouts.WriteTotalTimeoutMultiplier = 1;
    timeouts.WriteTotalTimeoutConstant = t;
    return m_os.SetTimeouts(port, timeouts);
}

ComPortDevice::Transfer ComPortDeviceWindows::ReadPort(unsigned char* pBuffer, int nCount) {
    DWORD got = 0;
    const bool ok = m_os.Read(AsHandle(m_hPort), pBuffer, static_cast<DWORD>(nCount), got);
    if (!ok) NoteFailure(m_os.LastError());
    return {static_cast<int>(std::min<DWORD>(got, static_cast<DWORD>(nCount))), !ok};
}

ComPortDevice::Transfer ComPortDeviceWindows::WritePort(const unsigned char* pBuffer, int nCount) {
    DWORD written = 0;
    const bool ok = m_os.Write(AsHandle(m_hPort), pBuffer, static_cast<DWORD>(nCount), written);
    if (!ok) NoteFailure(m_os.LastError());
    return {static_cast<int>(std::min<DWORD>(written, static_cast<DWORD>(nCount))), !ok};
}

// The registry names a port by its driver's object (\Device\Serial0): that is opened by its
// COM name. A name of another form is the port's own file name (a port given by the user, such
// as COM11), and opening goes there.
bool ComPortDeviceWindows::IsPortFile(const std::string& name) {
    return !name.empty() && !device::IsDriverObjectName(name);
}

std::int64_t ComPortDeviceWindows::NowUs() {
    return m_os.NowMs() * 1000;
}
