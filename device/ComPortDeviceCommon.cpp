// The parts of the serial port that are the same on every system: the port names, the monitors,
// the lost link and the time-out rule. The rest is in ComPortDevice.cpp (Linux) or
// ComPortDeviceWindows.cpp.
#include "device/ComPortDevice.h"
#include "device/PortTimeout.h"

int ComPortDevice::GetPortCount() {
    return m_pPortTable ? m_pPortTable->GetLastIndex() : -1;
}

std::string ComPortDevice::GetPortName(int nPort) {
    if (nPort == 0) nPort = m_nPortNumber;
    if (!m_pPortTable || nPort < 1 || nPort > GetPortCount()) return {};
    return m_pPortTable->GetString(nPort);
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

int ComPortDevice::TimeoutMs() {
    return device::ScaledTimeoutMs(GetTimeout(), GetBaudRate());
}

BOOL ComPortDevice::IsLinkLost() {
    return m_strLinkLostReason.empty() ? FALSE : TRUE;
}

std::string ComPortDevice::GetLinkLostReason() {
    return m_strLinkLostReason;
}
