#include "framework/win32/ControlWindows.h"

#include <algorithm>
#include <vector>

namespace framework::win32 {
namespace {

// A drop-down list's window is as tall as the box and its opened list together; the template
// gives the closed box only.
constexpr int kOpenListLines = 9;

void MirrorItems(HWND box, const Control& control) {
    SendMessageA(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& item : control.Items())
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    SendMessageA(box, CB_SETCURSEL, static_cast<WPARAM>(control.Selection()), 0);
    // The opened list shows every item whole (long port names), however narrow the box.
    HDC dc = GetDC(box);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(box, WM_GETFONT, 0, 0)));
    int widest = 0;
    for (const std::string& item : control.Items()) {
        SIZE size{};
        GetTextExtentPoint32A(dc, item.c_str(), static_cast<int>(item.size()), &size);
        widest = std::max(widest, static_cast<int>(size.cx));
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    const int room = widest + 2 * GetSystemMetrics(SM_CXEDGE) + GetSystemMetrics(SM_CXVSCROLL) + 4;
    SendMessageA(box, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(room), 0);
}

// A radio group has one tab stop: its checked button, or its first when none is checked.
void MirrorTabStop(HWND radio, const Control& control) {
    const LONG_PTR style = GetWindowLongPtrA(radio, GWL_STYLE);
    bool stop = control.IsChecked();
    if (!stop && control.IsGroupStart()) {
        stop = true;
        for (Control* member : control.Owner().RadioGroupOf(control.Id()))
            if (member->IsChecked()) stop = false;
    }
    const LONG_PTR wanted = stop ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP);
    if (wanted != style) SetWindowLongPtrA(radio, GWL_STYLE, wanted);
}

}  // namespace

const char* ControlClass(ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            return "Static";
        case ControlKind::GroupBox:
        case ControlKind::PushButton:
        case ControlKind::RadioButton:
            return "Button";
        case ControlKind::EditBox:
            return "Edit";
        case ControlKind::DropDownList:
            return "ComboBox";
    }
    return "Static";
}

DWORD ControlStyle(const Control& control) {
    DWORD style = WS_CHILD;
    if (control.IsGroupStart()) style |= WS_GROUP;
    switch (control.Kind()) {
        case ControlKind::Label:
            // Texts may come from the instrument: an '&' in them is shown, not a mnemonic.
            return style | SS_NOPREFIX | (control.IsCentred() ? SS_CENTER : SS_LEFT);
        case ControlKind::GroupBox:
            return style | BS_GROUPBOX;
        case ControlKind::PushButton:
            return style | WS_TABSTOP | BS_PUSHBUTTON;
        case ControlKind::RadioButton:
            return style | BS_AUTORADIOBUTTON;
        case ControlKind::EditBox:
            return style | WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL | ES_LEFT;
        case ControlKind::DropDownList:
            return style | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
    }
    return style;
}

int ControlWindowId(int id) {
    return id == IDC_STATIC ? 0xFFFF : id;
}

HWND CreateControlWindow(const Control& control, HWND parent, const RECT& where) {
    int height = where.bottom - where.top;
    if (control.Kind() == ControlKind::DropDownList) height *= kOpenListLines;
    const DWORD exStyle = control.Kind() == ControlKind::EditBox ? WS_EX_CLIENTEDGE : 0;
    DWORD style = ControlStyle(control);
    if (control.Kind() == ControlKind::EditBox) style &= ~WS_BORDER;
    HWND window = CreateWindowExA(
        exStyle, ControlClass(control.Kind()), "", style, where.left, where.top,
        where.right - where.left, height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(ControlWindowId(control.Id()))),
        GetModuleHandleA(nullptr), nullptr);
    if (window == nullptr) return nullptr;
    SendMessageA(window, WM_SETFONT, static_cast<WPARAM>(SendMessageA(parent, WM_GETFONT, 0, 0)),
                 FALSE);
    MirrorAll(window, control);
    return window;
}

void MirrorControl(HWND window, const Control& control, ControlChange what) {
    switch (what) {
        case ControlChange::Text:
            if (control.Kind() == ControlKind::DropDownList) break;
            // Setting the same text again would move the caret while the user types.
            if (WindowText(window) != control.Text())
                SetWindowTextA(window, control.Text().c_str());
            break;
        case ControlChange::Items:
            if (control.Kind() == ControlKind::DropDownList) MirrorItems(window, control);
            break;
        case ControlChange::Selection:
            if (control.Kind() == ControlKind::DropDownList)
                SendMessageA(window, CB_SETCURSEL, static_cast<WPARAM>(control.Selection()), 0);
            break;
        case ControlChange::Checked:
            if (control.Kind() != ControlKind::RadioButton) break;
            SendMessageA(window, BM_SETCHECK, control.IsChecked() ? BST_CHECKED : BST_UNCHECKED, 0);
            for (Control* member : control.Owner().RadioGroupOf(control.Id())) {
                if (HWND other = GetDlgItem(GetParent(window), ControlWindowId(member->Id())))
                    MirrorTabStop(other, *member);
            }
            break;
        case ControlChange::Enabled:
            EnableWindow(window, control.IsEnabled() ? 1 : 0);
            break;
        case ControlChange::Visible:
            ShowWindow(window, control.IsVisible() ? SW_SHOWNA : SW_HIDE);
            break;
    }
}

void MirrorAll(HWND window, const Control& control) {
    for (const ControlChange what :
         {ControlChange::Text, ControlChange::Items, ControlChange::Selection,
          ControlChange::Checked, ControlChange::Enabled, ControlChange::Visible}) {
        MirrorControl(window, control, what);
    }
}

std::string WindowText(HWND window) {
    const int length = GetWindowTextLengthA(window);
    std::vector<char> text(static_cast<std::size_t>(std::max(length, 0)) + 1);
    const int got = GetWindowTextA(window, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), static_cast<std::size_t>(std::max(got, 0)));
}

}  // namespace framework::win32
