#include "app/windows/SimulatedSerialOs.h"

#include <algorithm>
#include <cctype>

namespace app {
namespace {

// Where a read waits between looks at the replies.
constexpr DWORD kPollMs = 5;

// "COM5", "COM5:" and "\\.\COM5" all name COM5.
int ComNumberOf(std::string path) {
    if (path.starts_with("\\\\.\\")) path.erase(0, 4);
    if (!path.empty() && path.back() == ':') path.pop_back();
    if (path.size() < 4) return 0;
    std::string prefix = path.substr(0, 3);
    for (char& c : prefix)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (prefix != "COM") return 0;
    int number = 0;
    for (std::size_t i = 3; i < path.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(path[i]))) return 0;
        number = number * 10 + (path[i] - '0');
    }
    return number;
}

}  // namespace

SimulatedSerialOs::SimulatedSerialOs(int comNumber, device::SerialOsWindows& system)
    : m_comNumber(comNumber), m_system(system) {
    m_dcb.DCBlength = sizeof m_dcb;
    m_dcb.BaudRate = CBR_9600;
    m_dcb.ByteSize = 8;
    m_dcb.Parity = NOPARITY;
    m_dcb.StopBits = ONESTOPBIT;
}

HANDLE SimulatedSerialOs::Handle() {
    // Never a real handle: kernel handles are multiples of four.
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(0x5171));
}

bool SimulatedSerialOs::Fail(DWORD error) {
    m_lastError = error;
    m_ownError = true;
    return false;
}

DWORD SimulatedSerialOs::LastError() {
    if (m_ownError) {
        m_ownError = false;
        return m_lastError;
    }
    return m_system.LastError();
}

HANDLE SimulatedSerialOs::Open(const std::string& path) {
    const bool byName = path == std::string("\\\\.\\") + kName || path == kName;
    if (!byName && ComNumberOf(path) != m_comNumber) {
        m_ownError = false;
        return m_system.Open(path);
    }
    // One program at a time, as with a real port.
    if (m_open) {
        Fail(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    m_open = true;
    m_replies.clear();
    m_instrument.DropPartialFrame();
    return Handle();
}

bool SimulatedSerialOs::Close(HANDLE port) {
    if (!IsOurs(port)) return m_system.Close(port);
    m_open = false;
    m_replies.clear();
    return true;
}

bool SimulatedSerialOs::GetState(HANDLE port, DCB& dcb) {
    if (!IsOurs(port)) return m_system.GetState(port, dcb);
    dcb = m_dcb;
    return true;
}

bool SimulatedSerialOs::SetState(HANDLE port, const DCB& dcb) {
    if (!IsOurs(port)) return m_system.SetState(port, dcb);
    if (dcb.BaudRate == 0 || dcb.ByteSize < 5 || dcb.ByteSize > 8)
        return Fail(ERROR_INVALID_PARAMETER);
    m_dcb = dcb;
    return true;
}

bool SimulatedSerialOs::GetTimeouts(HANDLE port, COMMTIMEOUTS& timeouts) {
    if (!IsOurs(port)) return m_system.GetTimeouts(port, timeouts);
    timeouts = m_timeouts;
    return true;
}

bool SimulatedSerialOs::SetTimeouts(HANDLE port, const COMMTIMEOUTS& timeouts) {
    if (!IsOurs(port)) return m_system.SetTimeouts(port, timeouts);
    m_timeouts = timeouts;
    return true;
}

bool SimulatedSerialOs::GetMask(HANDLE port, DWORD& mask) {
    if (!IsOurs(port)) return m_system.GetMask(port, mask);
    mask = 0;
    return true;
}

bool SimulatedSerialOs::SetMask(HANDLE port, DWORD mask) {
    return IsOurs(port) ? true : m_system.SetMask(port, mask);
}

bool SimulatedSerialOs::Setup(HANDLE port, DWORD receiveQueue, DWORD sendQueue) {
    return IsOurs(port) ? true : m_system.Setup(port, receiveQueue, sendQueue);
}

bool SimulatedSerialOs::Purge(HANDLE port, DWORD flags) {
    if (!IsOurs(port)) return m_system.Purge(port, flags);
    if ((flags & PURGE_RXCLEAR) != 0) m_replies.clear();
    return true;
}

bool SimulatedSerialOs::LineMatches() const {
    const sim::Line line = m_instrument.OwnLine();
    if (static_cast<int>(m_dcb.BaudRate) != line.baud) return false;
    if (line.twoStopBits) {
        return m_dcb.ByteSize == 7 && m_dcb.Parity == EVENPARITY && m_dcb.StopBits == TWOSTOPBITS;
    }
    return m_dcb.ByteSize == 8 && m_dcb.Parity == NOPARITY && m_dcb.StopBits == ONESTOPBIT;
}

DWORD SimulatedSerialOs::Arrived() const {
    const std::int64_t now = m_system.NowMs();
    DWORD count = 0;
    for (const Pending& p : m_replies) {
        if (p.dueMs > now) break;
        ++count;
    }
    return count;
}

bool SimulatedSerialOs::Write(HANDLE port, const unsigned char* buffer, DWORD count,
                              DWORD& written) {
    if (!IsOurs(port)) return m_system.Write(port, buffer, count, written);
    written = count;
    // On a line not its own the instrument hears noise, and a frame it had begun is lost.
    if (!LineMatches()) {
        m_instrument.DropPartialFrame();
        return true;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(buffer), count);
    std::int64_t due = m_system.NowMs();
    if (!m_replies.empty()) due = std::max(due, m_replies.back().dueMs);
    for (const sim::Exchange& exchange : m_instrument.Receive(bytes)) {
        due += exchange.delayMs;
        for (const char c : exchange.wire) {
            // Paced, a byte takes its ten bit times on the line.
            if (exchange.paceBaud > 0) due += std::max<std::int64_t>(1, 10000 / exchange.paceBaud);
            m_replies.push_back({static_cast<unsigned char>(c), due});
        }
    }
    return true;
}

bool SimulatedSerialOs::Read(HANDLE port, unsigned char* buffer, DWORD count, DWORD& read) {
    if (!IsOurs(port)) return m_system.Read(port, buffer, count, read);
    read = 0;
    // The port's time-outs, as Windows reads them: MAXDWORD as interval and multiplier returns
    // as soon as a byte has come (or after the constant); MAXDWORD as interval alone returns at
    // once with what has come; otherwise the total time for this many bytes.
    const COMMTIMEOUTS& t = m_timeouts;
    const bool anyByte =
        t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == MAXDWORD;
    const bool atOnce = t.ReadIntervalTimeout == MAXDWORD && !anyByte &&
                        t.ReadTotalTimeoutMultiplier == 0 && t.ReadTotalTimeoutConstant == 0;
    const std::int64_t total = anyByte ? std::int64_t{t.ReadTotalTimeoutConstant}
                                       : std::int64_t{t.ReadTotalTimeoutConstant} +
                                             std::int64_t{t.ReadTotalTimeoutMultiplier} * count;
    // Once bytes have come, a pause longer than the interval ends the read too.
    const bool interval = t.ReadIntervalTimeout != 0 && t.ReadIntervalTimeout != MAXDWORD;
    const std::int64_t end = m_system.NowMs() + total;
    std::int64_t lastByte = 0;
    for (;;) {
        const DWORD ready = std::min(Arrived(), count - read);
        for (DWORD i = 0; i < ready; ++i) {
            buffer[read++] = m_replies.front().byte;
            m_replies.pop_front();
        }
        const std::int64_t now = m_system.NowMs();
        if (ready > 0) lastByte = now;
        if (read == count || atOnce || (anyByte && read > 0) || now >= end) return true;
        if (interval && read > 0 && now - lastByte >= t.ReadIntervalTimeout) return true;
        Sleep(kPollMs);
    }
}

bool SimulatedSerialOs::ClearError(HANDLE port, COMSTAT& status) {
    if (!IsOurs(port)) return m_system.ClearError(port, status);
    status = COMSTAT{};
    status.cbInQue = Arrived();
    return true;
}

}  // namespace app
