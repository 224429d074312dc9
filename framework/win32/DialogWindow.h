#pragma once

// A dialog window with no controls, made from a template built in memory: the system selects
// the template's font into it, so MapDialogRect and the dialog manager (Tab, Enter, Esc, Alt
// with a mnemonic) work as in any dialog. The Win32 host puts the controls in itself.
//   HWND page = CreateDialogWindow(frame, WS_CHILD | DS_CONTROL, WS_EX_CONTROLPARENT,
//                                  {278, 148}, 8, Proc, LPARAM(this));

#include "framework/win32/Win32Api.h"

namespace framework::win32 {

// The face every dialog of the host uses: the system's dialog font. The templates' "MS Sans
// Serif" is a bitmap font of one size, where the system has one; this face maps to the
// desktop's own dialog font.
inline constexpr char kDialogFace[] = "MS Shell Dlg";

// style: window styles besides DS_SETFONT, which is always set. width and height in dialog
// units. Null when the system refused.
HWND CreateDialogWindow(HWND parent, DWORD style, DWORD exStyle, int width, int height,
                        int pointSize, DLGPROC proc, LPARAM param);

}  // namespace framework::win32
