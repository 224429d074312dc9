#include "device/linux/ComPortDeviceLinux.h"

#include <fcntl.h>
#include <termios.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "device/linux/LineSettings.h"
#include "device/linux/PortIo.h"
#include "device/linux/SerialOsLinux.h"

namespace {

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
bool WriteSettings(device::SerialOsLinux& os, int fd, const termios& settings, bool pty) {
    const int rc = os.SetAttributes(fd, settings);
    if (rc == 0) return true;
    termios shown{};
    return rc == -EINVAL && pty && os.GetAttributes(fd, shown) == 0 &&
           ShowsWhatAPtyCan(settings, shown);
}

}  // namespace

namespace device {

std::unique_ptr<ComPortDevice> MakeComPortDevice() {
    return std::make_unique<ComPortDeviceLinux>();
}

}  // namespace device

ComPortDeviceLinux::ComPortDeviceLinux() : ComPortDeviceLinux(device::RealSerialOs()) {}

ComPortDeviceLinux::ComPortDeviceLinux(device::SerialOsLinux& os) : m_os(os) {
    EnumeratePorts();
}

ComPortDeviceLinux::~ComPortDeviceLinux() {
    ComPortDeviceLinux::CloseSerial();
}

BOOL ComPortDeviceLinux::CloseSerial() {
    if (m_hPort >= 0) {
        m_os.SetExclusive(m_hPort, false);
        m_os.Close(m_hPort);  // also drops the lock
    }
    m_hPort = -1;
    return TRUE;
}

BOOL ComPortDeviceLinux::ChangeBaudRate() {
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
        const bool pty = IsPseudoTerminal(PortFile(DeviceKey(m_nPortNumber)));
        applied = WriteSettings(m_os, m_hPort, settings, pty);
    }
    if (applied && constant == B0) applied = m_os.SetCustomBaudRate(m_hPort, baudRate) == 0;

    if (!applied) {
        SetLastErrorText(log + " --- ERR: SetCommState");
        return FALSE;
    }
    return TRUE;
}

int ComPortDeviceLinux::GetInputCount() {
    const int count = m_hPort < 0 ? -EBADF : m_os.InputCount(m_hPort);
    return std::max(count, 0);
}

int ComPortDeviceLinux::GetOutputCount() {
    const int count = m_hPort < 0 ? -EBADF : m_os.OutputCount(m_hPort);
    return std::max(count, 0);
}

BOOL ComPortDeviceLinux::PurgeInput() {
    return Flush(TCIFLUSH);
}

BOOL ComPortDeviceLinux::PurgeOutput() {
    return Flush(TCOFLUSH);
}

BOOL ComPortDeviceLinux::Flush(int queue) {
    if (m_hPort < 0 || IsLinkLost()) return FALSE;
    const int rc = m_os.Flush(m_hPort, queue);
    NoteFailure(-rc);
    return rc == 0 ? TRUE : FALSE;
}

void ComPortDeviceLinux::NoteFailure(int error) {
    if (m_hPort >= 0 && !IsLinkLost() && device::MeansPortGone(error)) {
        m_strLinkLostReason = device::GoneReason(error);
    }
}

// Opens the node that the port map gives for the device key (COM1 -> /dev/ttyUSB0), for this
// program alone. The tty's exclusive mode does not hold against root; the lock holds against
// every program that locks too. Either one refusing means the port is taken.
bool ComPortDeviceLinux::OpenPort(const std::string& key, int& error) {
    const std::string node = PortFile(key);
    int fd = node.empty() ? -ENOENT : m_os.Open(node, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        int rc = m_os.LockExclusive(fd);
        if (rc == -EWOULDBLOCK) rc = -EBUSY;
        if (rc == 0) rc = m_os.SetExclusive(fd, true);
        if (rc < 0) {
            m_os.Close(fd);
            fd = rc;
        }
    }
    if (fd < 0) {
        error = -fd;
        return false;
    }
    m_hPort = fd;
    return true;
}

std::string ComPortDeviceLinux::OpenFailureReason(int error) {
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

// A tty has no event mask to set.
bool ComPortDeviceLinux::SetReceiveEvents() {
    return true;
}

// A tty's queues have fixed sizes: only emptied here.
bool ComPortDeviceLinux::SetupQueues(int /*nReceiveQueue*/, int /*nSendQueue*/) {
    return m_os.Flush(m_hPort, TCIOFLUSH) == 0;
}

// poll() takes its wait with each call: the wait is only kept for the reads that follow.
bool ComPortDeviceLinux::SetPortTimeouts(long long readWaitMs) {
    m_readWaitMs = readWaitMs;
    return true;
}

ComPortDevice::Transfer ComPortDeviceLinux::ReadPort(unsigned char* pBuffer, int nCount) {
    const device::Transfer read =
        device::ReadWithin(m_os, m_hPort, pBuffer, static_cast<std::size_t>(nCount),
                           nCount + m_readWaitMs, TimeoutMs());
    if (read.failed) NoteFailure(read.error);
    return {read.count, read.failed};
}

ComPortDevice::Transfer ComPortDeviceLinux::WritePort(const unsigned char* pBuffer, int nCount) {
    const device::Transfer written = device::WriteWithin(
        m_os, m_hPort, pBuffer, static_cast<std::size_t>(nCount), nCount + TimeoutMs());
    if (written.failed) NoteFailure(written.error);
    return {written.count, written.failed};
}

// Device nodes are absolute paths; a name of another form (such as a bare COM5) names no node,
// and opening it fails.
bool ComPortDeviceLinux::IsPortFile(const std::string& name) {
    return name.starts_with('/');
}

std::int64_t ComPortDeviceLinux::NowUs() {
    return m_os.NowUs();
}
