#pragma once

// The window of a property sheet in wizard mode: a dialog window with the pages (each a child
// dialog, one shown at a time), a line of busy text, a separator and the row of the sheet's
// buttons (Back, Next or Finish in one place, Cancel). The title is the sheet's caption, the
// icons the sheet's. The dialog manager gives the keyboard: Tab in template order, arrow keys
// within a radio group, Alt with a mnemonic, Enter for the default button (Finish when it
// shows, else Next; a focused push button takes Enter itself), Esc for Cancel. The close button
// closes the sheet as Cancel would. While the program is busy with the instrument, Cancel, Esc
// and the close button only ask to stop: the work may stop between its steps, and otherwise the
// sheet is cancelled once the work is over.
//   WizardWindow window(sheet, activity);
//   window.AddPage(page);          // when the page's controls exist
//   window.Present();              // when the modal run starts

#include <memory>
#include <string>
#include <vector>

#include "framework/Activity.h"
#include "framework/PropertySheet.h"
#include "framework/win32/DialogView.h"
#include "framework/win32/Win32Api.h"

namespace framework::win32 {

class WizardWindow {
public:
    WizardWindow(PropertySheet& sheet, Activity& activity);
    ~WizardWindow();
    WizardWindow(const WizardWindow&) = delete;
    WizardWindow& operator=(const WizardWindow&) = delete;

    // The frame: the top-level dialog window.
    HWND Frame() const { return m_frame; }
    // Null once detached.
    PropertySheet* Sheet() const { return m_sheet; }
    // The sheet is going away: forget it and every page, and hide.
    void Detach();

    // A page's controls exist now; a page made again replaces its old view.
    void AddPage(PropertyPage& page);
    // The page's controls go: its view is detached and its window hidden; both stay until the
    // window goes, since a handler of theirs may still be running.
    void RemovePage(const Dialog& page);
    // The view of the sheet or of one of its pages; null when none.
    DialogView* ViewOf(const Dialog& dialog) const;
    void OnDialogChanged(Dialog& dialog, DialogChange what);
    // One of the sheet's buttons changed: Enter presses Finish when it shows, else Next.
    void UpdateDefaultButton();

    // From now on the window is shown whenever the sheet's window is visible.
    void Present();

    // Text above the buttons while the program waits, e.g. the port being tried; it goes when
    // the input that caused the wait has been handled. One line: a long port name gives up its
    // middle.
    void ShowBusyText(const std::string& text);
    // The whole text, before it was fitted to the line.
    const std::string& BusyText() const { return m_shownText; }
    // A note on the outcome of the input being handled: it stays until the next input.
    void ShowNote(const std::string& text);
    // Cancel, Esc or the close button while the program is busy.
    void RequestStop();
    bool IsCancelButton(HWND window) const;
    // The wait cursor over the window while the program is busy.
    void SetWaitCursor(bool wait);

    // What the user sees: the window of a control of the active page, else of the sheet.
    HWND WindowFor(int id) const;
    DialogView* ActivePageView() const;

private:
    struct PageView {
        const Dialog* page;
        HWND window;
        std::unique_ptr<DialogView> view;
    };

    static INT_PTR CALLBACK FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // A control's notification, from the frame or from a page.
    bool OnCommand(HWND control, int id, int code);
    void OnClose();

    void Layout();
    int WidthUnits() const;
    int HeightUnits() const;
    RECT PlaceSheetControl(const Control& control) const;
    void SetIcons();
    void FocusActivePage();
    void AfterInput();

    PropertySheet* m_sheet;
    Activity& m_activity;
    bool m_presented = false;
    bool m_waitCursor = false;
    SIZE m_pageArea{0, 0};  // dialog units
    HWND m_frame = nullptr;
    HWND m_line = nullptr;
    HWND m_busy = nullptr;
    std::unique_ptr<DialogView> m_sheetView;
    std::vector<PageView> m_pages;
    // Pages removed while a handler of theirs may run; they go with the window.
    std::vector<PageView> m_removed;
    std::string m_busyText;
    std::string m_shownText;
    std::string m_note;
};

}  // namespace framework::win32
