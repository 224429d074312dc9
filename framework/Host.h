#pragma once

// The seam to the screen. The host runs the modal loop of a sheet, shows message boxes (OK
// button only), shows the wait cursor, repaints while the program waits on the serial line,
// and hears of every model change so that it can mirror it. One host is current per process:
// the Qt host in the program, a RecordingHost in tests.
//   framework::RecordingHost host;
//   framework::ScopedHost use(host);             // current until the end of the scope
//   framework::MessageBox("Could not connect instrument!");   // warning icon, OK
//   { framework::WaitCursor busy; ... }          // busy cursor while it lives
//   if (framework::StopRequested()) return;      // the user pressed Cancel meanwhile

#include <string>

#include "framework/Control.h"
#include "framework/Dialog.h"
#include "support/ScopedOverride.h"

namespace framework {

class PropertySheet;

enum class MessageIcon { None, Information, Warning, Error, Question };

// The platform's file dialog: choose a file to read, or a name to write to.
enum class FileDialogKind { Open, Save };
struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::Open;
    std::string title;          // "Load profile"
    std::string filterName;     // "Settings profiles"
    std::string pattern;        // "*.json"
    std::string defaultSuffix;  // "json": added to a saved name that has none
};

class Host {
public:
    virtual ~Host() = default;

    // Shows the sheet, whose window is open, and returns once it has ended (EndDialog) or the
    // host gave up on it (the sheet then counts as cancelled).
    virtual void RunModal(PropertySheet& sheet) = 0;
    // A box with an OK button only; returns IDOK.
    virtual int ShowMessageBox(const std::string& text, const std::string& caption,
                               MessageIcon icon) = 0;
    // Nested: the cursor is busy from the first Begin to the matching last End.
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // Called now and then while the program blocks; repaint only, no user input.
    virtual void RepaintWhileWaiting() = 0;
    // The application asks to end its event loop.
    virtual void Quit() {}
    // Whether the user asked to stop the work in progress (Cancel, Esc or the close button
    // while the program was busy). Asking takes the request: it then no longer ends the
    // wizard once the work is over.
    virtual bool TakeStopRequest() { return false; }
    // A line about the outcome of the input being handled (what a search found), shown
    // until the next input.
    virtual void ShowNote(const std::string& /*text*/) {}
    // The file the user chose in the platform's file dialog; "" when cancelled (and without a
    // screen).
    virtual std::string AskFileName(const FileDialogRequest& /*request*/) { return {}; }

    // Model changes, for the mirror on screen.
    virtual void OnControlChanged(Control& control, ControlChange what);
    virtual void OnDialogChanged(Dialog& dialog, DialogChange what);
};

// The host in force on this thread: a ScopedHost's, else one without a screen that writes
// boxes to stderr and cancels every modal run at once.
Host& CurrentHost();

// Installs a host on this thread for the lifetime of the object, then puts the previous one
// back. Also routes the thread's wait hook (serial waits, pauses) to the current host's
// RepaintWhileWaiting.
class ScopedHost : public support::ScopedOverride<Host> {
public:
    explicit ScopedHost(Host& host);
};

// A box through the current host, captioned with the application title. Returns IDOK.
int MessageBox(const std::string& text, MessageIcon icon = MessageIcon::Warning);

// The current host's TakeStopRequest.
bool StopRequested();

// The current host's ShowNote.
void ShowNote(const std::string& text);

// The current host's AskFileName.
std::string AskFileName(const FileDialogRequest& request);

// The busy cursor for the lifetime of this object.
class WaitCursor {
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace framework
