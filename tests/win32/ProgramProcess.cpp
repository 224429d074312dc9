#include "tests/win32/ProgramProcess.h"

#include <chrono>
#include <thread>
#include <vector>

#include "tests/win32/Win32Kit.h"

namespace win32_test {
namespace {

struct Search {
    DWORD process;
    const std::string* title;
    HWND found;
};

BOOL CALLBACK Look(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<Search*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search.process || !IsWindowVisible(window) || TextOf(window) != *search.title)
        return TRUE;
    search.found = window;
    return FALSE;
}

}  // namespace

ProgramProcess::ProgramProcess(const std::string& path, const std::string& arguments) {
    std::string command = "\"" + path + "\" " + arguments;
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &m_info)) {
        m_info = {};
    }
}

ProgramProcess::~ProgramProcess() {
    if (!Started()) return;
    if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_info.hProcess, 99);
    }
    CloseHandle(m_info.hThread);
    CloseHandle(m_info.hProcess);
}

HWND ProgramProcess::WaitForWindow(const std::string& title, int timeoutMs) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Started()) {
        Search search{m_info.dwProcessId, &title, nullptr};
        EnumWindows(Look, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) return search.found;
        if (std::chrono::steady_clock::now() > end) break;
        if (WaitForSingleObject(m_info.hProcess, 10) == WAIT_OBJECT_0) break;
    }
    return nullptr;
}

long ProgramProcess::WaitForExit(int timeoutMs) const {
    if (!Started() ||
        WaitForSingleObject(m_info.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) {
        return -1;
    }
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return static_cast<long>(code);
}

void ProgramProcess::PressKey(HWND window, WPARAM key) const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) &&
        info.hwndFocus != nullptr) {
        target = info.hwndFocus;
    }
    PostMessageA(target, WM_KEYDOWN, key, 1);
    PostMessageA(target, WM_KEYUP, key, 1 | (LPARAM{3} << 30));
}

}  // namespace win32_test
