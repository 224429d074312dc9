#include "device/ComPortDevice.h"

#include <fcntl.h>
#include <termios.h>

#include <algorithm>
#include <cerrno>
#include <system_error>
#include <vector>

#include "device/LineSettings.h"
#include "device/PortIo.h"
#include "device/PortSource.h"
#include "device/PortTable.h"
#include "device/SerialOs.h"
#include "support/ValueString.h"

namespace {

// The operating system's reason for a failed open, with what the user can do about it.
std::string OpenFailureReason(int error) {
    std::string reason = "\n --- " + std::system_category().message(error);
    switch (error) {
        case EACCES:
        case EPERM:
            reason += " (the user must be a member of the dialout group)";
            break;
        case EBUSY:
            reason += " (the port is in use by another program)";
            break;
        case ENOTTY:
            reason += " (not a serial port)";
            break;
        default:
            break;
    }
    return reason;
}

// The key by which a port's node is found: its device name without the colon (COM1).
std::string NodeKey(SerialDevice& device, int nPort) {
    ValueString deviceName(device.GetPortDeviceName(nPort));
    deviceName.RemoveAllChar(':');
    return deviceName.text;
}

// A pseudo-terminal keeps 8 data bits and no parity whatever it is asked; only the speed, the
// stop bits and the raw-mode flags show through it.
bool IsPseudoTerminal(const std::string& node) {
    return node.starts_with("/dev/pts/");
}

// Whether the port shows every setting that was asked, leaving out what a pseudo-terminal
// cannot show (character size and parity enable).
bool ShowsWhatAPtyCan(const termios& asked, const termios& shown) {
    constexpr tcflag_t kHidden = CSIZE | PARENB;
    return shown.c_iflag == asked.c_iflag && shown.c_oflag == asked.c_oflag &&
           shown.c_lflag == asked.c_lflag &&
           (shown.c_cflag & ~kHidden) == (asked.c_cflag & ~kHidden) &&
           cfgetispeed(&shown) == cfgetispeed(&asked) &&
           cfgetospeed(&shown) == cfgetospeed(&asked) && shown.c_cc[VMIN] == asked.c_cc[VMIN] &&
           shown.c_cc[VTIME] == asked.c_cc[VTIME];
}

// Writes the settings to the port. Asked for a change that it cannot show (7 data bits and
// parity at a speed and stop bits already set), a pseudo-terminal's tcsetattr fails with
// EINVAL although the line is as asked in all it can show: read back, that counts as applied.
// A real port stays strict, since there the setting would be missing on the wire.
bool WriteSettings(device::SerialOs& os, int fd, const termios& settings, bool pty) {
    const int rc = os.SetAttributes(fd, settings);
    if (rc == 0) return true;
    termios shown{};
    return rc == -EINVAL && pty && os.GetAttributes(fd, shown) == 0 &&
           ShowsWhatAPtyCan(settings, shown);
}

}  // namespace

ComPortDevice::ComPortDevice() : ComPortDevice(device::RealSerialOs()) {}

ComPortDevice::ComPortDevice(device::SerialOs& os) : m_os(os) {
    EnumeratePorts();
}

ComPortDevice::~ComPortDevice() {
    ComPortDevice::CloseSerial();
}

BOOL ComPortDevice::InitSerial(int nPort, int /*nReceiveQueue*/, int /*nSendQueue*/) {
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

    const int fd = OpenExclusive(NodeKey(*this, nPort));
    if (fd < 0) {
        return fail(
            "\n --- ERR: CreateFile"
            " (Port doesn't exist or is used by another application or by mouse)"
            "GetLastError() returned " +
            std::to_string(-fd) + OpenFailureReason(-fd));
    }
    m_hPort = fd;
    m_nPortNumber = nPort;

    // A tty has no event mask to set; the line settings come next.
    if (!ChangeBaudRate()) return fail("\n --- ERR: ChangeBaudRate");
    // A tty's queues have fixed sizes. Setting them up here means starting with both empty,
    // as on a freshly opened port, so no stale bytes are taken for a reply.
    if (m_os.Flush(m_hPort, TCIOFLUSH) < 0) {
        return fail("\n --- ERR: SetCommMask or SetupComm or SetCommState");
    }
    return TRUE;
}

BOOL ComPortDevice::CloseSerial() {
    if (m_hPort >= 0) {
        m_os.SetExclusive(m_hPort, false);
        m_os.Close(m_hPort);  // also drops the lock
    }
    m_hPort = -1;
    return TRUE;
}

BOOL ComPortDevice::ChangeBaudRate() {
    const std::string log = "\nChangeBaudRate()";
    termios settings{};
    if (m_hPort < 0 || m_os.GetAttributes(m_hPort, settings) < 0) {
        SetLastErrorText(log + " --- ERR: GetCommState");
        return FALSE;
    }

    // A rate of 0 or less is refused: B0 would hang up the line.
    const int baudRate = GetBaudRate();
    const speed_t constant = device::BaudConstant(baudRate);
    bool applied = baudRate > 0 &&
                   device::ApplyLineSettings(settings, GetDataBits(), GetParity(), GetStopBits());
    if (applied && constant != B0) {
        applied = cfsetispeed(&settings, constant) == 0 && cfsetospeed(&settings, constant) == 0;
    }
    if (applied) {
        const auto node = m_portNodes.find(NodeKey(*this, m_nPortNumber));
        const bool pty = node != m_portNodes.end() && IsPseudoTerminal(node->second);
        applied = WriteSettings(m_os, m_hPort, settings, pty);
    }
    if (applied && constant == B0) applied = m_os.SetCustomBaudRate(m_hPort, baudRate) == 0;

    if (!applied) {
        SetLastErrorText(log + " --- ERR: SetCommState");
        return FALSE;
    }
    return TRUE;
}

int ComPortDevice::ReadString(std::string& str) {
    str.clear();
    if (IsLinkLost()) return 0;
    const long long t = TimeoutMs();
    const char terminator = GetTerminator();
    std::string received;
    std::int64_t firstByteUs = 0;
    while (static_cast<int>(received.size()) < kReadStringMaxBytes) {
        // Each byte may take the one-byte time-out; once bytes come, the whole read is bounded.
        long long waitMs = t + 1;
        if (!received.empty()) {
            const long long leftUs = firstByteUs + kReadStringMaxMs * 1000LL - m_os.NowUs();
            if (leftUs <= 0) break;
            waitMs = std::min(waitMs, (leftUs + 999) / 1000);
        }
        unsigned char byte = 0;
        const device::Transfer read = device::ReadWithin(m_os, m_hPort, &byte, 1, waitMs, t);
        if (m_pfnReadMonitor) m_pfnReadMonitor(&byte, 1, read.count, m_pReadMonitorUser);
        if (read.failed) {
            NoteFailure(read.error);
            return 0;
        }
        if (read.count == 0) break;
        if (received.empty()) firstByteUs = m_os.NowUs();
        received.push_back(static_cast<char>(byte));
        if (static_cast<char>(byte) == terminator) break;
    }
    str = std::move(received);
    return static_cast<int>(str.size());
}

int ComPortDevice::ReadBytes(unsigned char* pBuffer, int nCount) {
    if (nCount < 0 || (pBuffer == nullptr && nCount > 0) || IsLinkLost()) return 0;
    const long long t = TimeoutMs();
    const auto count = static_cast<std::size_t>(nCount);
    std::vector<unsigned char> work(count + 1);
    const device::Transfer read =
        device::ReadWithin(m_os, m_hPort, work.data(), count, nCount + t, t);
    if (m_pfnReadMonitor) m_pfnReadMonitor(work.data(), nCount, read.count, m_pReadMonitorUser);
    if (read.failed) NoteFailure(read.error);
    std::copy_n(work.data(), read.count, pBuffer);
    return read.count;
}

BOOL ComPortDevice::WriteBytes(const unsigned char* pBuffer, int nCount) {
    if (nCount < 0 || (pBuffer == nullptr && nCount > 0) || IsLinkLost()) return FALSE;
    const long long t = TimeoutMs();
    const device::Transfer written =
        device::WriteWithin(m_os, m_hPort, pBuffer, static_cast<std::size_t>(nCount), nCount + t);
    if (m_pfnWriteMonitor) m_pfnWriteMonitor(pBuffer, nCount, written.count, m_pWriteMonitorUser);
    if (written.failed) NoteFailure(written.error);
    // A write that got only part of the bytes out in time has failed.
    return !written.failed && written.count == nCount ? TRUE : FALSE;
}

int ComPortDevice::GetInputCount() {
    const int count = m_hPort < 0 ? -EBADF : m_os.InputCount(m_hPort);
    return std::max(count, 0);
}

int ComPortDevice::GetOutputCount() {
    const int count = m_hPort < 0 ? -EBADF : m_os.OutputCount(m_hPort);
    return std::max(count, 0);
}

BOOL ComPortDevice::PurgeInput() {
    return Flush(TCIFLUSH);
}

BOOL ComPortDevice::PurgeOutput() {
    return Flush(TCOFLUSH);
}

BOOL ComPortDevice::Flush(int queue) {
    if (m_hPort < 0 || IsLinkLost()) return FALSE;
    const int rc = m_os.Flush(m_hPort, queue);
    NoteFailure(-rc);
    return rc == 0 ? TRUE : FALSE;
}

void ComPortDevice::NoteFailure(int error) {
    if (m_hPort >= 0 && !IsLinkLost() && device::MeansPortGone(error)) {
        m_strLinkLostReason = device::GoneReason(error);
    }
}

void ComPortDevice::EnumeratePorts() {
    std::map<int, std::string> nodes;
    m_pPortTable = device::ReadPortTable(device::CurrentPortSource(), kMaxPortNumber, nodes);
    m_portNodes.clear();
    if (!m_pPortTable) return;

    // Opening goes by device name; remember the node each name stands for. A name that is no
    // absolute path (such as a bare COM5) names no node, and opening it fails.
    for (const auto& [number, node] : nodes) {
        if (node.empty() || node.front() != '/') continue;
        m_portNodes[NodeKey(*this, number)] = node;
    }
}

int ComPortDevice::OpenExclusive(const std::string& deviceName) {
    const auto found = m_portNodes.find(deviceName);
    if (found == m_portNodes.end()) return -ENOENT;
    const int fd = m_os.Open(found->second, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fd;
    // The tty's exclusive mode does not hold against root; the lock holds against every
    // program that locks too. Either one refusing means the port is taken.
    int rc = m_os.LockExclusive(fd);
    if (rc == -EWOULDBLOCK) rc = -EBUSY;
    if (rc == 0) rc = m_os.SetExclusive(fd, true);
    if (rc < 0) {
        m_os.Close(fd);
        return rc;
    }
    return fd;
}
