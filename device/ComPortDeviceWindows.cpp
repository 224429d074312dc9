#include "device/ComPortDevice.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "device/PortSource.h"
#include "device/PortTable.h"
#include "device/PortTimeout.h"
#include "device/SerialOsWindows.h"
#include "device/WindowsPortSource.h"
#include "support/ValueString.h"

namespace {

// The port's device name without its colon: COM1: gives COM1.
std::string DeviceNameWithoutColon(SerialDevice& device, int nPort) {
    ValueString deviceName(device.GetPortDeviceName(nPort));
    deviceName.RemoveAllChar(':');
    return deviceName.text;
}

// The system's text for a failed open, with what the user can do about it.
std::string OpenFailureReason(DWORD error) {
    std::string reason = "\n --- " + device::ErrorText(error);
    if (error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION) {
        reason += " (the port is in use by another program)";
    } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
        reason += " (there is no such port)";
    }
    return reason;
}

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

ComPortDevice::ComPortDevice() : ComPortDevice(device::RealSerialOs()) {}

ComPortDevice::ComPortDevice(device::SerialOs& os) : m_os(os) {
    EnumeratePorts();
}

ComPortDevice::~ComPortDevice() {
    ComPortDevice::CloseSerial();
}

BOOL ComPortDevice::InitSerial(int nPort, int nReceiveQueue, int nSendQueue) {
    ClearLastErrorText();
    m_strLinkLostReason.clear();
    std::string log = "\nTry InitSerial on Port " + GetPortName(nPort);
    CloseSerial();
    const auto fail = [&](const std::string& what) {
        SetLastErrorText(log + what);
        CloseSerial();
        return FALSE;
    };

    if (nPort < 1 || nPort > GetPortCount()) return fail("\n --- ERR: wrong PortNumber");

    // No fixed buffer: any device name makes a path.
    const HANDLE port = m_os.Open(DevicePath(DeviceNameWithoutColon(*this, nPort)));
    if (port == INVALID_HANDLE_VALUE) {
        const DWORD error = m_os.LastError();
        return fail(
            "\n --- ERR: CreateFile"
            " (Port doesn't exist or is used by another application or by mouse)"
            "GetLastError() returned " +
            std::to_string(static_cast<std::int32_t>(error)) + OpenFailureReason(error));
    }
    m_hPort = port;
    m_nPortNumber = nPort;

    if (!m_os.SetMask(port, EV_RXCHAR)) return fail("\n --- ERR: SetCommMask");
    if (!ChangeBaudRate()) return fail("\n --- ERR: ChangeBaudRate");
    // Both queues start empty, as on a freshly opened port, so no stale bytes are taken for a
    // reply.
    if (!m_os.Setup(port, static_cast<DWORD>(nReceiveQueue), static_cast<DWORD>(nSendQueue)) ||
        !m_os.Purge(port, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR)) {
        return fail("\n --- ERR: SetCommMask or SetupComm or SetCommState");
    }
    return TRUE;
}

BOOL ComPortDevice::CloseSerial() {
    if (m_hPort) m_os.Close(AsHandle(m_hPort));
    m_hPort = nullptr;
    return TRUE;
}

BOOL ComPortDevice::ChangeBaudRate() {
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

int ComPortDevice::ReadString(std::string& str) {
    str.clear();
    if (IsLinkLost()) return 0;
    const int t = TimeoutMs();
    const char terminator = GetTerminator();
    std::string received;
    std::int64_t firstByteMs = 0;
    int waitSet = -1;
    while (static_cast<int>(received.size()) < kReadStringMaxBytes) {
        // Each byte may take the one-byte time-out; once bytes come, the whole read is bounded.
        int waitMs = t;
        if (!received.empty()) {
            const std::int64_t leftMs = firstByteMs + kReadStringMaxMs - m_os.NowMs();
            if (leftMs <= 0) break;
            waitMs = static_cast<int>(std::min<std::int64_t>(waitMs, leftMs));
        }
        // Without its time-outs a read could wait for ever: that fails the read.
        if (waitMs != waitSet && !SetTimeouts(waitMs)) return 0;
        waitSet = waitMs;

        unsigned char byte = 0;
        DWORD got = 0;
        const bool ok = m_os.Read(AsHandle(m_hPort), &byte, 1, got);
        if (m_pfnReadMonitor) {
            m_pfnReadMonitor(&byte, 1, static_cast<int>(got), m_pReadMonitorUser);
        }
        if (!ok) {
            NoteFailure(m_os.LastError());
            return 0;
        }
        if (got == 0) break;
        if (received.empty()) firstByteMs = m_os.NowMs();
        received.push_back(static_cast<char>(byte));
        if (static_cast<char>(byte) == terminator) break;
    }
    str = std::move(received);
    return static_cast<int>(str.size());
}

int ComPortDevice::ReadBytes(unsigned char* pBuffer, int nCount) {
    if (nCount < 0 || (pBuffer == nullptr && nCount > 0) || IsLinkLost()) return 0;
    if (!SetTimeouts(TimeoutMs())) return 0;
    std::vector<unsigned char> work(static_cast<std::size_t>(nCount) + 1);
    DWORD got = 0;
    if (!m_os.Read(AsHandle(m_hPort), work.data(), static_cast<DWORD>(nCount), got)) {
        NoteFailure(m_os.LastError());
    }
    got = std::min<DWORD>(got, static_cast<DWORD>(nCount));
    if (m_pfnReadMonitor) {
        m_pfnReadMonitor(work.data(), nCount, static_cast<int>(got), m_pReadMonitorUser);
    }
    std::copy_n(work.data(), got, pBuffer);
    return static_cast<int>(got);
}

BOOL ComPortDevice::WriteBytes(const unsigned char* pBuffer, int nCount) {
    if (nCount < 0 || (pBuffer == nullptr && nCount > 0) || IsLinkLost()) return FALSE;
    if (!SetTimeouts(TimeoutMs())) return FALSE;
    DWORD written = 0;
    const bool ok = m_os.Write(AsHandle(m_hPort), pBuffer, static_cast<DWORD>(nCount), written);
    if (!ok) NoteFailure(m_os.LastError());
    if (m_pfnWriteMonitor) {
        m_pfnWriteMonitor(pBuffer, nCount, static_cast<int>(written), m_pWriteMonitorUser);
    }
    // A write that got only part of the bytes out in time has failed.
    return ok && written == static_cast<DWORD>(nCount) ? TRUE : FALSE;
}

int ComPortDevice::GetInputCount() {
    COMSTAT status{};
    if (!m_hPort || !m_os.ClearError(AsHandle(m_hPort), status)) return 0;
    return static_cast<int>(std::min<DWORD>(status.cbInQue, INT32_MAX));
}

int ComPortDevice::GetOutputCount() {
    COMSTAT status{};
    if (!m_hPort || !m_os.ClearError(AsHandle(m_hPort), status)) return 0;
    return static_cast<int>(std::min<DWORD>(status.cbOutQue, INT32_MAX));
}

BOOL ComPortDevice::PurgeInput() {
    return Purge(PURGE_RXABORT | PURGE_RXCLEAR);
}

BOOL ComPortDevice::PurgeOutput() {
    return Purge(PURGE_TXABORT | PURGE_TXCLEAR);
}

BOOL ComPortDevice::Purge(std::uint32_t flags) {
    if (!m_hPort || IsLinkLost()) return FALSE;
    if (m_os.Purge(AsHandle(m_hPort), flags)) return TRUE;
    NoteFailure(m_os.LastError());
    return FALSE;
}

void ComPortDevice::NoteFailure(std::uint32_t error) {
    if (m_hPort && !IsLinkLost() && MeansPortGone(error)) {
        const std::string text = device::ErrorText(error);
        m_strLinkLostReason = text.empty() ? "error " + std::to_string(error) : text;
    }
}

void ComPortDevice::EnumeratePorts() {
    std::map<int, std::string> names;
    m_pPortTable = device::ReadPortTable(device::CurrentPortSource(), kMaxPortNumber, names);
    m_portNodes.clear();
    if (!m_pPortTable) return;

    // The registry names a port by its driver's object (\Device\Serial0): that is opened by
    // its COM name. A name of another form is the port's own file name (a port given by the
    // user, such as COM11), and opening goes there.
    for (const auto& [number, name] : names) {
        if (name.empty() || device::IsDriverObjectName(name)) continue;
        m_portNodes[DeviceNameWithoutColon(*this, number)] = name;
    }
}

std::string ComPortDevice::DevicePath(const std::string& deviceName) const {
    const auto found = m_portNodes.find(deviceName);
    const std::string& name = found != m_portNodes.end() ? found->second : deviceName;
    return name.starts_with("\\\\.\\") ? name : "\\\\.\\" + name;
}

// The rule of the device's time-out t: a byte may take t after the one before it, a read of n
// bytes n + t in all (here waitMs in place of t), a write of n bytes n + t.
bool ComPortDevice::SetTimeouts(int waitMs) {
    const HANDLE port = AsHandle(m_hPort);
    COMMTIMEOUTS timeouts{};
    if (!port || !m_os.GetTimeouts(port, timeouts)) return false;
    const auto t = static_cast<DWORD>(TimeoutMs());
    timeouts.ReadIntervalTimeout = t;
    timeouts.ReadTotalTimeoutMultiplier = 1;
    timeouts.ReadTotalTimeoutConstant = static_cast<DWORD>(waitMs);
    timeouts.WriteTotalTimeoutMultiplier = 1;
    timeouts.WriteTotalTimeoutConstant = t;
    return m_os.SetTimeouts(port, timeouts);
}
