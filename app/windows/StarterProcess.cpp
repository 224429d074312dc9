#include "app/windows/StarterProcess.h"

#include <tlhelp32.h>

namespace app::com {
namespace {

DWORD ParentId() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    const DWORD self = GetCurrentProcessId();
    DWORD parent = 0;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && parent == 0;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID == self) parent = entry.th32ParentProcessID;
    }
    CloseHandle(snapshot);
    return parent;
}

ULONGLONG StartTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

}  // namespace

StarterProcess::StarterProcess() {
    const DWORD parent = ParentId();
    if (parent == 0) return;
    m_handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, parent);
    if (m_handle == nullptr) return;
    const ULONGLONG started = StartTime(m_handle);
    // A parent started after this process is another process that took the id.
    if (started == 0 || started > StartTime(GetCurrentProcess())) {
        CloseHandle(m_handle);
        m_handle = nullptr;
    }
}

StarterProcess::~StarterProcess() {
    if (m_handle != nullptr) CloseHandle(m_handle);
}

}  // namespace app::com
