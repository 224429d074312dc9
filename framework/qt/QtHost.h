#pragma once

// The framework's host on a real screen with Qt 6: each property sheet gets a WizardWindow
// that mirrors every model change; message boxes are QMessageBox with the OK button only; the
// wait cursor is the application's override cursor; while the program blocks on the serial
// line the windows repaint, and the user's input is dropped, except that Cancel, Esc and the
// close box ask the work to stop.
// A QApplication must exist for the host's lifetime.
//   QApplication qt(argc, argv);
//   framework::qt::QtHost host;
//   framework::ScopedHost use(host);
//   sheet.DoModal();

#include <QEventLoop>
#include <functional>
#include <memory>
#include <vector>

#include "framework/Host.h"
#include "framework/qt/Activity.h"
#include "framework/qt/InputGate.h"
#include "framework/qt/WizardWindow.h"

namespace framework::qt {

class QtHost final : public Host {
public:
    QtHost();
    ~QtHost() override;
    QtHost(const QtHost&) = delete;
    QtHost& operator=(const QtHost&) = delete;

    void RunModal(PropertySheet& sheet) override;
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       MessageIcon icon) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    void RepaintWhileWaiting() override;
    void Quit() override;
    bool TakeStopRequest() override;
    void ShowNote(const std::string& text) override;
    // QFileDialog, the platform's own where it has one, owned by the current window.
    std::string AskFileName(const FileDialogRequest& request) override;
    void OnControlChanged(Control& control, ControlChange what) override;
    void OnDialogChanged(Dialog& dialog, DialogChange what) override;

    // Shows what the program is waiting for (the port and rate being tried) in the current
    // window; it goes once the input that caused the wait has been handled.
    void ShowBusyText(const std::string& text);

    // Runs the event loop until done() holds or Quit is asked; false for Quit. done() is
    // looked at every pollMs.
    bool WaitUntil(const std::function<bool()>& done, int pollMs = 50);
    bool IsQuitRequested() const { return m_quitRequested; }

    Activity& GetActivity() { return m_activity; }
    // The window of a sheet whose window is open; null when none.
    WizardWindow* WindowOf(const Dialog& sheet) const;
    // The window of the innermost modal run; null when none runs.
    WizardWindow* ModalWindow() const;
    // The modal run's window, else the newest window; null when there is none.
    WizardWindow* CurrentWindow() const;

private:
    struct ModalRun {
        const PropertySheet* sheet;
        QEventLoop* loop;
    };

    void MakeWindow(PropertySheet& sheet);
    void RetireWindow(const Dialog& sheet);

    Activity m_activity;
    // Closed while the program waits on the line: input then is dropped, not queued.
    InputGate m_gate;
    std::vector<std::unique_ptr<WizardWindow>> m_windows;
    // Windows whose sheets are gone; deleted once no handler of theirs can be running.
    std::vector<std::unique_ptr<WizardWindow>> m_retired;
    std::vector<ModalRun> m_runs;
    std::vector<QEventLoop*> m_waits;
    int m_cursorDepth = 0;
    bool m_quitRequested = false;
};

}  // namespace framework::qt
