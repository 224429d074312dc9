#pragma once

// The program started as a process, as from the desktop, and its first window found.
//   ProgramProcess program(path, "");
//   HWND window = program.WaitForWindow("... Step 1 of 5", 20000);

#include <string>

#include "framework/win32/Win32Api.h"

namespace win32_test {

class ProgramProcess {
public:
    // Starts path with the arguments; Started() tells whether it did.
    ProgramProcess(const std::string& path, const std::string& arguments);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool Started() const { return m_info.hProcess != nullptr; }
    // A visible top-level window of the process with this title; null on time-out.
    HWND WaitForWindow(const std::string& title, int timeoutMs) const;
    // The exit code once the process ended within the time; -1 when it did not.
    long WaitForExit(int timeoutMs) const;
    // A key pressed on the window with the focus in the process's window (as a user would).
    void PressKey(HWND window, WPARAM key) const;

private:
    PROCESS_INFORMATION m_info{};
};

}  // namespace win32_test
