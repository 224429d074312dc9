#pragma once

// The framework's host on a real Windows screen: each property sheet gets a WizardWindow that
// mirrors every model change; message boxes are the system's, with the OK button only; the
// wait cursor shows over the window while the program is busy; while the program blocks on the
// serial line the windows repaint, and the user's input is taken off the queue and dropped,
// except that Cancel, Esc and the close button ask the work to stop.
//   framework::win32::Win32Host host;
//   framework::ScopedHost use(host);
//   sheet.DoModal();

#include <memory>
#include <string>
#include <vector>

#include "framework/Activity.h"
#include "framework/Host.h"
#include "framework/win32/WizardWindow.h"

namespace framework::win32 {

class Win32Host final : public Host {
public:
    Win32Host() = default;
    ~Win32Host() override;
    Win32Host(const Win32Host&) = delete;
    Win32Host& operator=(const Win32Host&) = delete;

    void RunModal(PropertySheet& sheet) override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       MessageIcon icon) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void RepaintWhileWaiting() override;
    void Quit() override;
    bool TakeStopRequest() override;
    void ShowNote(const std::string& text) override;
    // The system's Open or Save As dialog (GetOpenFileNameA, GetSaveFileNameA).
    std::string AskFileName(const FileDialogRequest& request) override;
    void OnControlChanged(Control& control, ControlChange what) override;
    void OnDialogChanged(Dialog& dialog, DialogChange what) override;

    // Shows what the program is waiting for (the port and rate being tried) in the current
    // window; it goes once the input that caused the wait has been handled.
    void ShowBusyText(const std::string& text);
    bool IsQuitRequested() const { return m_quitRequested; }

    Activity& GetActivity() { return m_activity; }
    // The window of a sheet whose window is open; null when none.
    WizardWindow* WindowOf(const Dialog& sheet) const;
    // The modal run's window, else the newest window; null when there is none.
    WizardWindow* CurrentWindow() const;

private:
    void MakeWindow(PropertySheet& sheet);
    void RetireWindow(const Dialog& sheet);
    // Whether a message that is taken off the queue while busy asks the work to stop.
    bool AsksToStop(const MSG& message) const;

    Activity m_activity;
    std::vector<std::unique_ptr<WizardWindow>> m_windows;
    // Windows whose sheets are gone; deleted once no handler of theirs can be running.
    std::vector<std::unique_ptr<WizardWindow>> m_retired;
    std::vector<const PropertySheet*> m_runs;
    int m_cursorDepth = 0;
    bool m_quitRequested = false;
};

}  // namespace framework::win32
