// The parts of the serial port that are the same on every system: the port names, the open's
// steps and their failure texts, the read loop, the monitors and the lost link. The system
// calls are in device/linux/ComPortDeviceLinux.cpp and device/windows/ComPortDeviceWindows.cpp.
#include "device/ComPortDevice.h"

#include <algorithm>
#include <vector>

#include "device/PortSource.h"
#include "device/PortTable.h"
#include "device/PortTimeout.h"
#include "support/ValueString.h"

int ComPortDevice::GetPortCount() {
    return m_pPortTable ? m_pPortTable->GetLastIndex() : -1;
}

std::string ComPortDevice::GetPortName(int nPort) {
    if (nPort == 0) nPort = m_nPortNumber;
    if (!m_pPortTable || nPort < 1 || nPort > GetPortCount()) return {};
    return m_pPortTable->GetString(nPort);
}

BOOL ComPortDevice::InitSerial(int nPort, int nReceiveQueue, int nSendQueue) {
    ClearLastErrorText();
    m_strLinkLostReason.clear();
    const std::string log = "\nTry InitSerial on Port " + GetPortName(nPort);
    CloseSerial();
    const auto fail = [&](const std::string& what) {
        SetLastErrorText(log + what);
        CloseSerial();
        return FALSE;
    };

    if (nPort < 1 || nPort > GetPortCount()) return fail("\n --- ERR: wrong PortNumber");

    int error = 0;
    if (!OpenPort(DeviceKey(nPort), error)) {
        return fail(
            "\n --- ERR: CreateFile"
            " (Port doesn't exist or is used by another application or by mouse)"
            "GetLastError() returned " +
            std::to_string(error) + OpenFailureReason(error));
    }
    m_nPortNumber = nPort;

    if (!SetReceiveEvents()) return fail("\n --- ERR: SetCommMask");
    if (!ChangeBaudRate()) return fail("\n --- ERR: ChangeBaudRate");
    if (!SetupQueues(nReceiveQueue, nSendQueue)) {
        return fail("\n --- ERR: SetCommMask or SetupComm or SetCommState");
    }
    return TRUE;
}

int ComPortDevice::ReadString(std::string& str) {
    str.clear();
    if (IsLinkLost()) return 0;
    const int t = TimeoutMs();
    const char terminator = GetTerminator();
    std::string received;
    std::int64_t firstByteUs = 0;
    long long waitSet = -1;
    while (static_cast<int>(received.size()) < kReadStringMaxBytes) {
        // Each byte may take the one-byte time-out; once bytes come, the whole read is bounded.
        long long waitMs = t;
        if (!received.empty()) {
            const std::int64_t leftUs = firstByteUs + kReadStringMaxMs * 1000LL - NowUs();
            if (leftUs <= 0) break;
            waitMs = std::min<long long>(waitMs, (leftUs + 999) / 1000);
        }
        // Without its time-outs a read could wait for ever: that fails the read.
        if (waitMs != waitSet && !SetPortTimeouts(waitMs)) return 0;
        waitSet = waitMs;

        unsigned char byte = 0;
        const Transfer read = ReadPort(&byte, 1);
        if (m_pfnReadMonitor) m_pfnReadMonitor(&byte, 1, read.count, m_pReadMonitorUser);
        if (read.failed) return 0;
        if (read.count == 0) break;
        if (received.empty()) firstByteUs = NowUs();
        received.push_back(static_cast<char>(byte));
        if (static_cast<char>(byte) == terminator) break;
    }
    str = std::move(received);
    return static_cast<int>(str.size());
}

int ComPortDevice::ReadBytes(unsigned char* pBuffer, int nCount) {
    if (nCount < 0 || (pBuffer == nullptr && nCount > 0) || IsLinkLost()) return 0;
    if (!SetPortTimeouts(TimeoutMs())) return 0;
    std::vector<unsigned char> work(static_cast<std::size_t>(nCount) + 1);
    const Transfer read = ReadPort(work.data(), nCount);
    const int count = std::clamp(read.count, 0, nCount);
    if (m_pfnReadMonitor) m_pfnReadMonitor(work.data(), nCount, count, m_pReadMonitorUser);
    std::copy_n(work.data(), count, pBuffer);
    return count;
}

BOOL ComPortDevice::WriteBytes(const unsigned char* pBuffer, int nCount) {
    if (nCount < 0 || (pBuffer == nullptr && nCount > 0) || IsLinkLost()) return FALSE;
    if (!SetPortTimeouts(TimeoutMs())) return FALSE;
    const Transfer written = WritePort(pBuffer, nCount);
    if (m_pfnWriteMonitor) m_pfnWriteMonitor(pBuffer, nCount, written.count, m_pWriteMonitorUser);
    // A write that got only part of the bytes out in time has failed.
    return !written.failed && written.count == nCount ? TRUE : FALSE;
}

BOOL ComPortDevice::IsLinkLost() {
    return m_strLinkLostReason.empty() ? FALSE : TRUE;
}

std::string ComPortDevice::GetLinkLostReason() {
    return m_strLinkLostReason;
}

BOOL ComPortDevice::SetReadMonitor(Monitor pfnMonitor, void* pUser) {
    m_pfnReadMonitor = pfnMonitor;
    m_pReadMonitorUser = pUser;
    return TRUE;
}

BOOL ComPortDevice::SetWriteMonitor(Monitor pfnMonitor, void* pUser) {
    m_pfnWriteMonitor = pfnMonitor;
    m_pWriteMonitorUser = pUser;
    return TRUE;
}

BOOL ComPortDevice::ClearReadMonitor() {
    m_pfnReadMonitor = nullptr;
    m_pReadMonitorUser = nullptr;
    return TRUE;
}

BOOL ComPortDevice::ClearWriteMonitor() {
    m_pfnWriteMonitor = nullptr;
    m_pWriteMonitorUser = nullptr;
    return TRUE;
}

void ComPortDevice::EnumeratePorts() {
    std::map<int, std::string> names;
    m_pPortTable = device::ReadPortTable(device::CurrentPortSource(), kMaxPortNumber, names);
    m_portFiles.clear();
    if (!m_pPortTable) return;

    // Opening goes by device name; remember the file that each name stands for, where the map
    // gives one.
    for (const auto& [number, name] : names) {
        if (IsPortFile(name)) m_portFiles[DeviceKey(number)] = name;
    }
}

int ComPortDevice::TimeoutMs() {
    return device::ScaledTimeoutMs(GetTimeout(), GetBaudRate());
}

std::string ComPortDevice::DeviceKey(int nPort) {
    ValueString deviceName(GetPortDeviceName(nPort));
    deviceName.RemoveAllChar(':');
    return deviceName.text;
}

std::string ComPortDevice::PortFile(const std::string& key) const {
    const auto found = m_portFiles.find(key);
    return found != m_portFiles.end() ? found->second : std::string();
}
