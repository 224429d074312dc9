#pragma once

// The Win32 control of each kind of template control: its window class and styles, made at a
// place in pixels, and kept equal to the model by MirrorControl. Program changes never notify
// the page: the dialog view ignores the notifications that they cause.
//   HWND w = CreateControlWindow(control, page, units.ToPixels(control.Bounds()));
//   MirrorControl(w, control, framework::ControlChange::Text);

#include <string>

#include "framework/Control.h"
#include "framework/win32/Win32Api.h"

namespace framework::win32 {

// The window class of a kind: "Static", "Button", "Edit" or "ComboBox".
const char* ControlClass(ControlKind kind);
// The window styles of a control made from the template, besides WS_VISIBLE and WS_DISABLED,
// which follow the model.
DWORD ControlStyle(const Control& control);
// The window's id: the control's, or 0xFFFF for the many controls without one.
int ControlWindowId(int id);

// A child of parent with the parent's font, showing the control as the model has it.
HWND CreateControlWindow(const Control& control, HWND parent, const RECT& where);

void MirrorControl(HWND window, const Control& control, ControlChange what);
void MirrorAll(HWND window, const Control& control);

// The window's text as bytes.
std::string WindowText(HWND window);

}  // namespace framework::win32
