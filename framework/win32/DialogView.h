#pragma once

// The control windows of one dialog (a wizard page, or the sheet's own buttons) inside a
// dialog window: made from its controls, kept equal to them by Mirror, and the way back for
// the user's input, which goes through the dialog's one door (TypeText, Click, SelectItem) and
// never straight into a control. After every input the window is set to what the model holds
// again, so input that the model refused leaves no trace on screen. Input that arrives while
// the program is busy is not taken.
//   DialogView view(page, activity, pageWindow, [&](const Control& c) { return Place(c); });
//   view.OnCommand(id, code);        // from the dialog window's WM_COMMAND

#include <functional>
#include <vector>

#include "framework/Activity.h"
#include "framework/Dialog.h"
#include "framework/win32/Win32Api.h"

namespace framework::win32 {

class DialogView {
public:
    // Where a control's window goes, in pixels of the dialog window.
    using Placement = std::function<RECT(const Control&)>;

    // window: the dialog window that holds the controls (not owned).
    DialogView(Dialog& dialog, Activity& activity, HWND window, const Placement& place);
    DialogView(const DialogView&) = delete;
    DialogView& operator=(const DialogView&) = delete;

    Dialog* Model() const { return m_dialog; }
    HWND Window() const { return m_window; }
    // The model is going away: the view forgets it and ignores all input from now on.
    void Detach();
    // Runs after each input that went to the model (the window clears its busy text then).
    void SetAfterInput(std::function<void()> after) { m_afterInput = std::move(after); }
    // Runs with the control's id when input is refused because the program is busy.
    void SetRefusedInput(std::function<void(int)> refused) { m_refusedInput = std::move(refused); }

    // The window of the control with this id; null when none.
    HWND WindowFor(int id) const;
    HWND WindowFor(const Control& control) const;
    void Mirror(const Control& control, ControlChange what);
    // Whether the window is one of this view's controls.
    bool Holds(HWND control) const;

    // A control's notification (WM_COMMAND); true when it was one of this view's.
    bool OnCommand(HWND control, int code);

    // The first control in tab order that can take the focus and is no push button; null when
    // none.
    HWND FirstInputWindow() const;

private:
    struct Entry {
        const Control* control;
        HWND window;
    };

    const Entry* Find(HWND window) const;
    // Passes one user input to the model, then shows the control as the model has it.
    void Deliver(const Control* control, const std::function<void(Dialog&)>& input);

    Dialog* m_dialog;
    Activity& m_activity;
    HWND m_window;
    std::function<void()> m_afterInput;
    std::function<void(int)> m_refusedInput;
    std::vector<Entry> m_entries;  // tab order
    // Set while the view itself changes a control: the notifications that causes are no input.
    int m_mirroring = 0;
};

}  // namespace framework::win32
