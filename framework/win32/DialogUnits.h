#pragma once

// Dialog templates are laid out in dialog units, which scale with the dialog's font. The
// dialog window made by DialogWindow.h has its font selected by the system, and MapDialogRect
// turns units into pixels with that font's base units: whatever font the system gives for
// the template's face, the template keeps its proportions.
//   framework::win32::DialogUnits units(dialogWindow);
//   RECT where = units.ToPixels(control.Bounds());

#include "framework/DialogTemplate.h"
#include "framework/win32/Win32Api.h"

namespace framework::win32 {

class DialogUnits {
public:
    explicit DialogUnits(HWND dialog) : m_dialog(dialog) {}

    // Edges map separately, so controls that touch in units touch on screen.
    RECT ToPixels(const Rect& rect) const;
    SIZE ToPixels(int width, int height) const;
    int X(int units) const;
    int Y(int units) const;

private:
    HWND m_dialog;
};

}  // namespace framework::win32
