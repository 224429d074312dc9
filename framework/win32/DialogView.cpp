#include "framework/win32/DialogView.h"

#include "framework/win32/ControlWindows.h"

namespace framework::win32 {
namespace {

class Mirroring {
public:
    explicit Mirroring(int& depth) : m_depth(depth) { ++m_depth; }
    ~Mirroring() { --m_depth; }
    Mirroring(const Mirroring&) = delete;
    Mirroring& operator=(const Mirroring&) = delete;

private:
    int& m_depth;
};

}  // namespace

DialogView::DialogView(Dialog& dialog, Activity& activity, HWND window, const Placement& place)
    : m_dialog(&dialog), m_activity(activity), m_window(window) {
    const Mirroring quiet(m_mirroring);
    HWND previous = HWND_TOP;
    for (const auto& control : dialog.Controls()) {
        HWND w = CreateControlWindow(*control, window, place(*control));
        if (w == nullptr) continue;
        // Z order is tab order: each after the one before.
        SetWindowPos(w, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = w;
        m_entries.push_back({control.get(), w});
    }
}

void DialogView::Detach() {
    m_dialog = nullptr;
    for (Entry& entry : m_entries)
        entry.control = nullptr;
}

HWND DialogView::WindowFor(int id) const {
    if (id == IDC_STATIC) return nullptr;
    for (const Entry& entry : m_entries) {
        if (entry.control != nullptr && entry.control->Id() == id) return entry.window;
    }
    return nullptr;
}

HWND DialogView::WindowFor(const Control& control) const {
    for (const Entry& entry : m_entries) {
        if (entry.control == &control) return entry.window;
    }
    return nullptr;
}

bool DialogView::Holds(HWND control) const {
    return Find(control) != nullptr;
}

const DialogView::Entry* DialogView::Find(HWND window) const {
    if (window == nullptr) return nullptr;
    for (const Entry& entry : m_entries) {
        if (entry.window == window) return &entry;
    }
    return nullptr;
}

void DialogView::Mirror(const Control& control, ControlChange what) {
    const Mirroring quiet(m_mirroring);
    if (HWND w = WindowFor(control)) MirrorControl(w, control, what);
}

HWND DialogView::FirstInputWindow() const {
    for (const Entry& entry : m_entries) {
        if (entry.control == nullptr || entry.control->Kind() == ControlKind::PushButton) continue;
        const LONG_PTR style = GetWindowLongPtrA(entry.window, GWL_STYLE);
        if ((style & WS_TABSTOP) != 0 && IsWindowVisible(entry.window) &&
            IsWindowEnabled(entry.window)) {
            return entry.window;
        }
    }
    return nullptr;
}

bool DialogView::OnCommand(HWND window, int code) {
    const Entry* entry = Find(window);
    if (entry == nullptr) return false;
    if (m_mirroring > 0 || entry->control == nullptr) return true;
    const Control* control = entry->control;
    const int id = control->Id();
    switch (control->Kind()) {
        case ControlKind::EditBox:
            if (code == EN_CHANGE) {
                Deliver(control,
                        [id, text = WindowText(window)](Dialog& d) { d.TypeText(id, text); });
            }
            break;
        case ControlKind::DropDownList:
            if (code == CBN_SELCHANGE) {
                const int index = static_cast<int>(SendMessageA(window, CB_GETCURSEL, 0, 0));
                Deliver(control, [id, index](Dialog& d) { d.SelectItem(id, index); });
            }
            break;
        case ControlKind::PushButton:
        case ControlKind::RadioButton:
            if (code == BN_CLICKED) Deliver(control, [id](Dialog& d) { d.Click(id); });
            break;
        case ControlKind::Label:
        case ControlKind::GroupBox:
            break;
    }
    return true;
}

void DialogView::Deliver(const Control* control, const std::function<void(Dialog&)>& input) {
    if (m_dialog == nullptr) return;
    HWND window = WindowFor(*control);
    // Input that reaches a control while the program is busy (waiting on the line, or inside
    // another input) would run a page's handler inside another one: it is not taken.
    if (m_activity.IsBusy()) {
        {
            const Mirroring quiet(m_mirroring);
            if (window != nullptr) MirrorAll(window, *control);
        }
        if (m_refusedInput) m_refusedInput(control->Id());
        return;
    }
    {
        Activity::Scope busy(m_activity);
        input(*m_dialog);
    }
    // The view may have been detached meanwhile; then the control is gone too.
    if (m_dialog != nullptr) {
        if (HWND still = WindowFor(*control)) {
            const Mirroring quiet(m_mirroring);
            MirrorAll(still, *control);
        }
    }
    if (m_afterInput) m_afterInput();
}

}  // namespace framework::win32
