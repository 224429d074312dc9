#include "framework/win32/Win32Host.h"

#include <algorithm>

#include "framework/PropertySheet.h"
#include "framework/win32/Win32Api.h"

namespace framework::win32 {
namespace {

UINT BoxIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return 0;
        case MessageIcon::Information:
            return MB_ICONINFORMATION;
        case MessageIcon::Warning:
            return MB_ICONWARNING;
        case MessageIcon::Error:
            return MB_ICONERROR;
        case MessageIcon::Question:
            return MB_ICONQUESTION;
    }
    return MB_ICONWARNING;
}

bool IsUserInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
           (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK) || message == WM_INPUT;
}

// How many queued messages one repaint handles at most, so a flood cannot hold the wait up.
constexpr int kMessagesPerRepaint = 200;

}  // namespace

Win32Host::~Win32Host() {
    for (auto& window : m_windows)
        window->Detach();
}

void Win32Host::RunModal(PropertySheet& sheet) {
    WizardWindow* window = WindowOf(sheet);
    // Without a window nobody could answer the sheet: it counts as cancelled.
    if (window == nullptr || window->Frame() == nullptr || sheet.IsEnded() || m_quitRequested)
        return;
    m_runs.push_back(&sheet);
    window->Present();
    MSG message{};
    while (!sheet.IsEnded() && !m_quitRequested) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got <= 0) {
            m_quitRequested = true;
            break;
        }
        // The window may have been retired by the message before; the dialog manager needs
        // the frame that is up now.
        WizardWindow* current = WindowOf(sheet);
        if (current != nullptr && IsDialogMessageA(current->Frame(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    m_runs.pop_back();
    if (m_runs.empty()) m_retired.clear();
}

int Win32Host::ShowMessageBox(const std::string& text, const std::string& caption,
                              MessageIcon icon) {
    Activity::Scope busy(m_activity);
    WizardWindow* owner = CurrentWindow();
    // While the box is up the program waits for the user, not for the line.
    if (owner != nullptr) owner->ShowBusyText(std::string());
    HWND ownerWindow = owner != nullptr ? owner->Frame() : nullptr;
    if (ownerWindow != nullptr && !IsWindowVisible(ownerWindow)) ownerWindow = nullptr;
    // The box waits for the user, so it shows the normal cursor even while the program is busy.
    if (owner != nullptr) owner->SetWaitCursor(false);
    MessageBoxA(ownerWindow, text.c_str(), caption.c_str(),
                MB_OK | BoxIcon(icon) | (ownerWindow == nullptr ? MB_TASKMODAL : 0));
    if (owner != nullptr && m_cursorDepth > 0) owner->SetWaitCursor(true);
    return IDOK;
}

void Win32Host::BeginWaitCursor() {
    if (m_cursorDepth++ > 0) return;
    for (const auto& window : m_windows)
        window->SetWaitCursor(true);
}

void Win32Host::EndWaitCursor() {
    // An end without a begin is ignored rather than taking away someone else's cursor.
    if (m_cursorDepth == 0) return;
    if (--m_cursorDepth > 0) return;
    for (const auto& window : m_windows)
        window->SetWaitCursor(false);
}

void Win32Host::RepaintWhileWaiting() {
    Activity::Scope busy(m_activity);
    MSG message{};
    for (int i = 0; i < kMessagesPerRepaint && PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE);
         ++i) {
        if (message.message == WM_QUIT) {
            // The run's own loop must see it too.
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        // Input is dropped now: held back, it would be carried out once the wait is over,
        // long after the user gave it.
        if (IsUserInput(message.message)) {
            if (AsksToStop(message)) {
                if (WizardWindow* window = CurrentWindow()) window->RequestStop();
            }
            continue;
        }
        DispatchMessageA(&message);
    }
}

bool Win32Host::AsksToStop(const MSG& message) const {
    if (message.message == WM_KEYDOWN && message.wParam == VK_ESCAPE) return true;
    if (message.message == WM_SYSKEYDOWN && message.wParam == VK_F4) return true;
    if (message.message == WM_NCLBUTTONDOWN && message.wParam == HTCLOSE) return true;
    if (message.message == WM_LBUTTONDOWN) {
        return std::any_of(m_windows.begin(), m_windows.end(),
                           [&](const auto& w) { return w->IsCancelButton(message.hwnd); });
    }
    return false;
}

void Win32Host::Quit() {
    m_quitRequested = true;
    PostMessageA(nullptr, WM_NULL, 0, 0);
}

bool Win32Host::TakeStopRequest() {
    return m_activity.TakeStopRequest();
}

void Win32Host::ShowNote(const std::string& text) {
    if (WizardWindow* window = CurrentWindow()) window->ShowNote(text);
}

void Win32Host::OnControlChanged(Control& control, ControlChange what) {
    for (const auto& window : m_windows) {
        if (DialogView* view = window->ViewOf(control.Owner())) {
            view->Mirror(control, what);
            if (&control.Owner() == window->Sheet()) window->UpdateDefaultButton();
            return;
        }
    }
}

void Win32Host::OnDialogChanged(Dialog& dialog, DialogChange what) {
    switch (what) {
        case DialogChange::Created:
            if (auto* sheet = dynamic_cast<PropertySheet*>(&dialog)) {
                MakeWindow(*sheet);
            } else if (auto* page = dynamic_cast<PropertyPage*>(&dialog);
                       page != nullptr && page->GetParent() != nullptr) {
                if (WizardWindow* window = WindowOf(*page->GetParent())) window->AddPage(*page);
            }
            return;
        case DialogChange::Destroyed:
            // Matched by address: from a base destructor the dynamic type is lost.
            RetireWindow(dialog);
            for (const auto& window : m_windows)
                window->RemovePage(dialog);
            return;
        case DialogChange::Ended:
            // Wakes the modal run's loop, which then sees that its sheet has ended.
            PostMessageA(nullptr, WM_NULL, 0, 0);
            return;
        default:
            break;
    }
    for (const auto& window : m_windows) {
        if (window->ViewOf(dialog) != nullptr) window->OnDialogChanged(dialog, what);
    }
}

void Win32Host::ShowBusyText(const std::string& text) {
    if (WizardWindow* window = CurrentWindow()) window->ShowBusyText(text);
}

WizardWindow* Win32Host::WindowOf(const Dialog& sheet) const {
    for (const auto& window : m_windows) {
        if (window->Sheet() == &sheet) return window.get();
    }
    return nullptr;
}

WizardWindow* Win32Host::CurrentWindow() const {
    if (!m_runs.empty()) {
        if (WizardWindow* window = WindowOf(*m_runs.back())) return window;
    }
    return m_windows.empty() ? nullptr : m_windows.back().get();
}

void Win32Host::MakeWindow(PropertySheet& sheet) {
    if (WindowOf(sheet) != nullptr) return;
    m_windows.push_back(std::make_unique<WizardWindow>(sheet, m_activity));
    if (m_cursorDepth > 0) m_windows.back()->SetWaitCursor(true);
}

void Win32Host::RetireWindow(const Dialog& sheet) {
    const auto found = std::find_if(m_windows.begin(), m_windows.end(),
                                    [&sheet](const auto& w) { return w->Sheet() == &sheet; });
    if (found == m_windows.end()) return;
    (*found)->Detach();
    m_retired.push_back(std::move(*found));
    m_windows.erase(found);
    // Outside every modal run and every input, no handler of the window can be running.
    if (m_runs.empty() && !m_activity.IsBusy()) m_retired.clear();
}

}  // namespace framework::win32
