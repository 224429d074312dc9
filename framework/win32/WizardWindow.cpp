#include "framework/win32/WizardWindow.h"

#include <algorithm>

#include "framework/win32/ControlWindows.h"
#include "framework/win32/DialogUnits.h"
#include "framework/win32/DialogWindow.h"
#include "framework/win32/ElidedText.h"

namespace framework::win32 {
namespace {

// The frame around the pages and the button row, in dialog units.
constexpr int kMargin = 7;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 7;
// The line of busy text between the pages and the separator.
constexpr int kBusyHeight = 9;
constexpr int kPointSize = 8;

// The template a page is made from, also before its window exists.
const DialogTemplate* TemplateOf(const PropertyPage& page) {
    return page.IsCreated() ? &page.GetTemplate() : FindTemplate(page.GetTemplateId());
}

WizardWindow* WindowOfHandle(HWND window) {
    return reinterpret_cast<WizardWindow*>(GetWindowLongPtrA(window, DWLP_USER));
}

int TextWidth(HWND window, std::string_view text) {
    HDC dc = GetDC(window);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(window, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return size.cx;
}

HWND MakeStatic(HWND parent, DWORD style) {
    HWND w = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(w, WM_SETFONT, static_cast<WPARAM>(SendMessageA(parent, WM_GETFONT, 0, 0)), FALSE);
    return w;
}

void Place(HWND window, const RECT& r) {
    SetWindowPos(window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

WizardWindow::WizardWindow(PropertySheet& sheet, Activity& activity)
    : m_sheet(&sheet), m_activity(activity) {
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        if (const DialogTemplate* t = TemplateOf(*sheet.GetPage(i))) {
            m_pageArea.cx = std::max<LONG>(m_pageArea.cx, t->width);
            m_pageArea.cy = std::max<LONG>(m_pageArea.cy, t->height);
        }
    }
    m_frame = CreateDialogWindow(
        nullptr, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | DS_CENTER,
        WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT | WS_EX_APPWINDOW, WidthUnits(), HeightUnits(),
        kPointSize, FrameProc, reinterpret_cast<LPARAM>(this));
    if (m_frame == nullptr) return;
    m_line = MakeStatic(m_frame, SS_ETCHEDHORZ);
    m_busy = MakeStatic(m_frame, SS_LEFTNOWORDWRAP | SS_NOPREFIX);
    m_sheetView = std::make_unique<DialogView>(
        sheet, activity, m_frame, [this](const Control& c) { return PlaceSheetControl(c); });
    m_sheetView->SetAfterInput([this] { AfterInput(); });
    m_sheetView->SetRefusedInput([this](int id) {
        if (id == IDCANCEL) RequestStop();
    });
    SetWindowTextA(m_frame, sheet.GetCaption().c_str());
    SetIcons();
    Layout();
    UpdateDefaultButton();
}

WizardWindow::~WizardWindow() {
    if (m_frame != nullptr) {
        SetWindowLongPtrA(m_frame, DWLP_USER, 0);
        for (const PageView& p : m_pages)
            SetWindowLongPtrA(p.window, DWLP_USER, 0);
        for (const PageView& p : m_removed)
            SetWindowLongPtrA(p.window, DWLP_USER, 0);
        DestroyWindow(m_frame);
    }
}

void WizardWindow::Detach() {
    m_sheet = nullptr;
    if (m_sheetView) m_sheetView->Detach();
    for (PageView& p : m_pages) {
        p.view->Detach();
        m_removed.push_back(std::move(p));
    }
    m_pages.clear();
    if (m_frame != nullptr) ShowWindow(m_frame, SW_HIDE);
}

void WizardWindow::AddPage(PropertyPage& page) {
    if (m_sheet == nullptr || m_frame == nullptr) return;
    RemovePage(page);
    const DialogTemplate& t = page.GetTemplate();
    HWND window =
        CreateDialogWindow(m_frame, WS_CHILD | DS_CONTROL | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
                           t.width, t.height, kPointSize, PageProc, reinterpret_cast<LPARAM>(this));
    if (window == nullptr) return;
    const DialogUnits units(window);
    auto view = std::make_unique<DialogView>(
        page, m_activity, window, [units](const Control& c) { return units.ToPixels(c.Bounds()); });
    view->SetAfterInput([this] { AfterInput(); });
    // Pages come after the frame's own controls in tab order, as in any wizard.
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(window, page.IsWindowVisible() ? SW_SHOWNA : SW_HIDE);
    m_pages.push_back({&page, window, std::move(view)});
    Layout();
}

void WizardWindow::RemovePage(const Dialog& page) {
    const auto found = std::find_if(m_pages.begin(), m_pages.end(),
                                    [&page](const PageView& p) { return p.page == &page; });
    if (found == m_pages.end()) return;
    found->view->Detach();
    ShowWindow(found->window, SW_HIDE);
    m_removed.push_back(std::move(*found));
    m_pages.erase(found);
}

DialogView* WizardWindow::ViewOf(const Dialog& dialog) const {
    if (m_sheet == nullptr) return nullptr;
    if (&dialog == m_sheet) return m_sheetView.get();
    for (const PageView& p : m_pages) {
        if (p.page == &dialog) return p.view.get();
    }
    return nullptr;
}

void WizardWindow::OnDialogChanged(Dialog& dialog, DialogChange what) {
    DialogView* view = ViewOf(dialog);
    if (view == nullptr) return;
    const bool isSheet = &dialog == m_sheet;
    switch (what) {
        case DialogChange::Caption:
            if (isSheet) SetWindowTextA(m_frame, dialog.GetCaption().c_str());
            break;
        case DialogChange::Icon:
            if (isSheet) SetIcons();
            break;
        case DialogChange::Focus:
            if (HWND w = view->WindowFor(dialog.GetFocusId()))
                SendMessageA(m_frame, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(w), TRUE);
            break;
        case DialogChange::WindowVisible:
            if (!isSheet) {
                ShowWindow(view->Window(), dialog.IsWindowVisible() ? SW_SHOWNA : SW_HIDE);
            } else if (m_presented) {
                ShowWindow(m_frame, dialog.IsWindowVisible() ? SW_SHOW : SW_HIDE);
            }
            break;
        case DialogChange::WindowEnabled:
            EnableWindow(isSheet ? m_frame : view->Window(), dialog.IsWindowEnabled() ? 1 : 0);
            break;
        case DialogChange::ActivePage:
            FocusActivePage();
            break;
        case DialogChange::Created:
        case DialogChange::Destroyed:
        case DialogChange::Ended:
            break;  // the host makes and retires windows and ends the modal run
    }
}

void WizardWindow::UpdateDefaultButton() {
    if (m_sheet == nullptr || m_frame == nullptr) return;
    const Control* finish = m_sheet->GetControl(ID_WIZFINISH);
    const int id = finish != nullptr && finish->IsVisible() ? ID_WIZFINISH : ID_WIZNEXT;
    SendMessageA(m_frame, DM_SETDEFID, static_cast<WPARAM>(id), 0);
    for (const int button : {ID_WIZNEXT, ID_WIZFINISH}) {
        if (HWND w = m_sheetView->WindowFor(button))
            SendMessageA(w, BM_SETSTYLE, button == id ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
    }
}

void WizardWindow::Present() {
    m_presented = true;
    if (m_sheet == nullptr || m_frame == nullptr || !m_sheet->IsWindowVisible()) return;
    ShowWindow(m_frame, SW_SHOW);
    SetForegroundWindow(m_frame);
    FocusActivePage();
    UpdateWindow(m_frame);
}

void WizardWindow::ShowBusyText(const std::string& text) {
    m_busyText = text;
    std::string shown = text;
    if (m_activity.IsBusy() && m_activity.IsStopRequested()) {
        shown =
            text.empty() ? "Stopping after this exchange" : "Stopping after this exchange: " + text;
    }
    m_shownText = shown;
    if (m_busy == nullptr) return;
    RECT r{};
    GetClientRect(m_busy, &r);
    HWND busy = m_busy;
    const std::string fitted = ElideLongestWord(
        shown, [busy](std::string_view s) { return TextWidth(busy, s); }, r.right);
    SetWindowTextA(m_busy, fitted.c_str());
    UpdateWindow(m_busy);
}

void WizardWindow::ShowNote(const std::string& text) {
    m_note = text;
    ShowBusyText(text);
}

void WizardWindow::RequestStop() {
    m_activity.RequestStop();
    ShowBusyText(m_busyText);
}

bool WizardWindow::IsCancelButton(HWND window) const {
    return m_sheet != nullptr && window != nullptr && window == m_sheetView->WindowFor(IDCANCEL);
}

void WizardWindow::SetWaitCursor(bool wait) {
    m_waitCursor = wait;
    POINT at{};
    GetCursorPos(&at);
    HWND under = WindowFromPoint(at);
    if (under == m_frame || IsChild(m_frame, under))
        SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(wait ? IDC_WAIT : IDC_ARROW)));
}

HWND WizardWindow::WindowFor(int id) const {
    if (DialogView* page = ActivePageView()) {
        if (HWND w = page->WindowFor(id)) return w;
    }
    return m_sheet != nullptr ? m_sheetView->WindowFor(id) : nullptr;
}

DialogView* WizardWindow::ActivePageView() const {
    const PropertyPage* active = m_sheet != nullptr ? m_sheet->GetActivePage() : nullptr;
    return active != nullptr ? ViewOf(*active) : nullptr;
}

INT_PTR CALLBACK WizardWindow::FrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return FALSE;  // the focus is set when the window is presented
    }
    WizardWindow* self = WindowOfHandle(window);
    return self != nullptr ? self->OnFrameMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CALLBACK WizardWindow::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
        return FALSE;
    }
    WizardWindow* self = WindowOfHandle(window);
    if (self != nullptr && message == WM_COMMAND) {
        return self->OnCommand(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam))
                   ? TRUE
                   : FALSE;
    }
    return FALSE;
}

INT_PTR WizardWindow::OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            return OnCommand(reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam))
                       ? TRUE
                       : FALSE;
        case WM_CLOSE:
            OnClose();
            return TRUE;
        case WM_SETCURSOR:
            if (!m_waitCursor) return FALSE;
            SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
            SetWindowLongPtrA(m_frame, DWLP_MSGRESULT, TRUE);
            return TRUE;
        default:
            return FALSE;
    }
}

bool WizardWindow::OnCommand(HWND control, int id, int code) {
    if (m_sheet == nullptr) return false;
    // Enter and Esc arrive from the dialog manager with the button's id; a control's own
    // notification comes with its window.
    if (control == nullptr) control = WindowFor(id);
    if (m_sheetView->Holds(control)) return m_sheetView->OnCommand(control, code);
    for (const PageView& p : m_pages) {
        if (p.view->Holds(control)) return p.view->OnCommand(control, code);
    }
    return false;
}

void WizardWindow::OnClose() {
    // The model decides whether the window goes; while an exchange runs it stays, and goes
    // once the exchange is over.
    if (m_sheet == nullptr) return;
    if (m_activity.IsBusy()) {
        RequestStop();
        return;
    }
    {
        Activity::Scope busy(m_activity);
        m_sheet->Close();
    }
    AfterInput();
}

void WizardWindow::Layout() {
    if (m_frame == nullptr) return;
    const DialogUnits u(m_frame);
    const int width = WidthUnits();
    const int busyY = kMargin + m_pageArea.cy + kMargin / 2;
    const int lineY = busyY + kBusyHeight + kMargin / 2;
    for (const PageView& p : m_pages) {
        const RECT r = u.ToPixels(Rect{kMargin, kMargin, m_pageArea.cx, m_pageArea.cy});
        Place(p.window, r);
    }
    RECT line = u.ToPixels(Rect{kMargin, lineY, width - 2 * kMargin, 0});
    line.bottom = line.top + 2;
    Place(m_line, line);
    Place(m_busy, u.ToPixels(Rect{kMargin, busyY, width - 2 * kMargin, kBusyHeight}));
    if (m_sheet != nullptr) {
        for (const auto& control : m_sheet->Controls()) {
            if (HWND w = m_sheetView->WindowFor(*control)) Place(w, PlaceSheetControl(*control));
        }
    }
}

RECT WizardWindow::PlaceSheetControl(const Control& control) const {
    const DialogUnits u(m_frame);
    const int width = WidthUnits();
    const int rowY = HeightUnits() - kMargin - kButtonHeight;
    const int cancelX = width - kMargin - kButtonWidth;
    const int nextX = cancelX - kButtonGap - kButtonWidth;
    int x = 0;
    switch (control.Id()) {
        case IDCANCEL:
            x = cancelX;
            break;
        case ID_WIZNEXT:
        case ID_WIZFINISH:
            x = nextX;
            break;
        case ID_WIZBACK:
            x = nextX - kButtonWidth;
            break;
        default:
            return u.ToPixels(control.Bounds());
    }
    return u.ToPixels(Rect{x, rowY, kButtonWidth, kButtonHeight});
}

int WizardWindow::WidthUnits() const {
    return kMargin + std::max<int>(m_pageArea.cx, 3 * kButtonWidth + kButtonGap) + kMargin;
}

int WizardWindow::HeightUnits() const {
    const int busyY = kMargin + m_pageArea.cy + kMargin / 2;
    const int lineY = busyY + kBusyHeight + kMargin / 2;
    return lineY + kMargin + kButtonHeight + kMargin;
}

void WizardWindow::SetIcons() {
    if (m_sheet == nullptr) return;
    const IconHandle icon =
        m_sheet->GetIcon(true) ? m_sheet->GetIcon(true) : m_sheet->GetIcon(false);
    if (icon == 0) return;
    HINSTANCE module = GetModuleHandleA(nullptr);
    const struct {
        WPARAM which;
        int cx;
        int cy;
    } sizes[] = {{ICON_BIG, SM_CXICON, SM_CYICON}, {ICON_SMALL, SM_CXSMICON, SM_CYSMICON}};
    for (const auto& s : sizes) {
        // Shared: the system frees it with the module, not the window.
        HANDLE image = LoadImageA(module, MAKEINTRESOURCEA(icon), IMAGE_ICON,
                                  GetSystemMetrics(s.cx), GetSystemMetrics(s.cy), LR_SHARED);
        if (image != nullptr)
            SendMessageA(m_frame, WM_SETICON, s.which, reinterpret_cast<LPARAM>(image));
    }
}

void WizardWindow::FocusActivePage() {
    if (m_frame == nullptr || !IsWindowVisible(m_frame)) return;
    DialogView* page = ActivePageView();
    HWND target = page != nullptr ? page->FirstInputWindow() : nullptr;
    if (target == nullptr) {
        for (const int id : {ID_WIZFINISH, ID_WIZNEXT}) {
            HWND button = m_sheetView->WindowFor(id);
            if (button != nullptr && IsWindowVisible(button) && IsWindowEnabled(button)) {
                target = button;
                break;
            }
        }
    }
    if (target != nullptr)
        SendMessageA(m_frame, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(target), TRUE);
}

void WizardWindow::AfterInput() {
    if (m_activity.IsBusy()) return;
    // The user asked to stop meanwhile, and the work did not take the request: Cancel now.
    if (m_sheet != nullptr && m_activity.TakeStopRequest()) {
        Activity::Scope busy(m_activity);
        m_sheet->Close();
    }
    ShowBusyText(m_note);
    m_note.clear();
}

}  // namespace framework::win32
