#pragma once

// Helpers for driving Win32 windows as a user does, with window messages: keys through the
// dialog manager, clicks, typing, choosing from a list; waiting with the messages flowing; a
// helper that answers message boxes as they come up; pictures of windows.

#include <functional>
#include <string>
#include <vector>

#include "framework/win32/Win32Api.h"

namespace win32_test {

// Lets queued messages run; keys go through the dialog manager of dialog first.
void Pump(HWND dialog = nullptr);

// Runs the messages until done() holds or timeoutMs passed; false on time-out.
bool WaitFor(const std::function<bool()>& done, int timeoutMs, HWND dialog = nullptr);

// A key pressed and released on the window with the focus (dialog itself when none has it),
// then the messages run, so that the dialog manager sees it as on screen.
void PressKey(HWND dialog, WPARAM key);

// Input as the control's own notification: a click (BM_CLICK), a new text (WM_SETTEXT, which
// a single-line edit box reports as EN_CHANGE), an item chosen (CB_SETCURSEL and the
// CBN_SELCHANGE that the list sends when the user picks).
void Click(HWND button);
void TypeText(HWND edit, const std::string& text);
void Choose(HWND list, int index);

std::string TextOf(HWND window);
std::string ClassOf(HWND window);

// The rectangle of a child window in its parent's client pixels.
RECT PlaceOf(HWND child);

// Writes what the window shows on screen, frame included, as a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::string& path);

struct SeenBox {
    std::string caption;
    std::string text;
    bool hasIcon = false;
    int buttons = 0;  // visible push buttons
    bool okOnly = false;
};

// While it lives, every message box of this thread that comes up is recorded and answered
// with OK; a hook may look at the box first (a picture, say).
class BoxAnswerer {
public:
    BoxAnswerer();
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    const std::vector<SeenBox>& Boxes() const { return m_boxes; }
    std::vector<std::string> Texts() const;
    void SetHook(std::function<void(HWND)> hook) { m_hook = std::move(hook); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Look();

    UINT_PTR m_timer = 0;
    std::vector<SeenBox> m_boxes;
    std::function<void(HWND)> m_hook;
};

}  // namespace win32_test
