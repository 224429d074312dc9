#include "framework/Dialog.h"

#include "framework/DataExchange.h"
#include "framework/Host.h"

namespace framework {
namespace {

// Counts a running data exchange, also when DoDataExchange returns early.
class ExchangeScope {
public:
    explicit ExchangeScope(int& depth) : m_depth(depth) { ++m_depth; }
    ~ExchangeScope() { --m_depth; }
    ExchangeScope(const ExchangeScope&) = delete;
    ExchangeScope& operator=(const ExchangeScope&) = delete;

private:
    int& m_depth;
};

// Per thread: sheets driven on several threads count their own users' inputs.
thread_local unsigned long g_inputCount = 0;

}  // namespace

unsigned long InputCount() {
    return g_inputCount;
}

Dialog::Dialog(int templateId) : m_templateId(templateId) {}

Dialog::Dialog(DialogTemplate ownTemplate)
    : m_templateId(ownTemplate.id), m_ownTemplate(true), m_template(std::move(ownTemplate)) {}

Dialog::~Dialog() {
    // The host must drop its view of the controls before they go.
    if (m_created) NotifyDialogChanged(DialogChange::Destroyed);
}

BOOL Dialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void Dialog::OnCommand(int, Notification) {}

void Dialog::DoDataExchange(DataExchange&) {}

void Dialog::OnDestroy() {}

BOOL Dialog::Create() {
    if (m_created) return TRUE;
    if (!m_ownTemplate) {
        const DialogTemplate* found = FindTemplate(m_templateId);
        if (found == nullptr) return FALSE;
        m_template = *found;
    }
    m_controls.clear();
    for (const ControlTemplate& c : m_template.controls) {
        m_controls.push_back(std::make_unique<Control>(*this, c));
    }
    m_created = true;
    m_focusId = 0;
    SetCaption(m_template.caption);
    NotifyDialogChanged(DialogChange::Created);
    OnInitDialog();
    return TRUE;
}

void Dialog::DestroyWindow() {
    if (!m_created) return;
    OnDestroy();
    NotifyDialogChanged(DialogChange::Destroyed);
    m_controls.clear();
    m_created = false;
    m_focusId = 0;
}

BOOL Dialog::UpdateData(BOOL bSaveAndValidate) {
    ExchangeScope running(m_exchangeDepth);
    DataExchange dx(*this, bSaveAndValidate != FALSE);
    DoDataExchange(dx);
    return dx.Failed() ? FALSE : TRUE;
}

Control* Dialog::GetControl(int id) {
    if (id == IDC_STATIC) return nullptr;  // many controls share it: none is meant
    for (const auto& c : m_controls) {
        if (c->Id() == id) return c.get();
    }
    return nullptr;
}

const Control* Dialog::GetControl(int id) const {
    return const_cast<Dialog*>(this)->GetControl(id);
}

std::vector<Control*> Dialog::RadioGroupOf(int id) {
    std::size_t at = 0;
    while (at < m_controls.size() && m_controls[at]->Id() != id)
        ++at;
    if (id == IDC_STATIC || at == m_controls.size() ||
        m_controls[at]->Kind() != ControlKind::RadioButton) {
        return {};
    }
    std::size_t start = at;
    while (start > 0 && !m_controls[start]->IsGroupStart())
        --start;
    std::vector<Control*> group;
    for (std::size_t i = start; i < m_controls.size(); ++i) {
        if (i != start && m_controls[i]->IsGroupStart()) break;
        if (m_controls[i]->Kind() == ControlKind::RadioButton) group.push_back(m_controls[i].get());
    }
    return group;
}

void Dialog::EnableControl(int id, bool enable) {
    if (Control* c = GetControl(id)) c->Enable(enable);
}

bool Dialog::IsControlEnabled(int id) const {
    const Control* c = GetControl(id);
    return c != nullptr && c->IsEnabled();
}

void Dialog::ShowControl(int id, bool show) {
    if (Control* c = GetControl(id)) c->Show(show);
}

bool Dialog::IsControlVisible(int id) const {
    const Control* c = GetControl(id);
    return c != nullptr && c->IsVisible();
}

void Dialog::SetControlText(int id, std::string text) {
    if (Control* c = GetControl(id)) c->SetText(std::move(text));
}

std::string Dialog::GetControlText(int id) const {
    const Control* c = GetControl(id);
    return c != nullptr ? c->Text() : std::string();
}

void Dialog::CheckRadio(int id, bool checked) {
    if (Control* c = GetControl(id)) c->SetChecked(checked);
}

bool Dialog::IsRadioChecked(int id) const {
    const Control* c = GetControl(id);
    return c != nullptr && c->IsChecked();
}

void Dialog::ResetList(int id) {
    if (Control* c = GetControl(id)) c->ResetItems();
}

int Dialog::AddListItem(int id, std::string text) {
    Control* c = GetControl(id);
    return c != nullptr ? c->AddItem(std::move(text)) : -1;
}

void Dialog::SelectListItem(int id, int index) {
    if (Control* c = GetControl(id)) c->SetSelection(index);
}

int Dialog::GetListSelection(int id) const {
    const Control* c = GetControl(id);
    return c != nullptr ? c->Selection() : -1;
}

int Dialog::GetListCount(int id) const {
    const Control* c = GetControl(id);
    return c != nullptr ? c->ItemCount() : 0;
}

std::string Dialog::GetListItemText(int id, int index) const {
    const Control* c = GetControl(id);
    return c != nullptr ? c->ItemText(index) : std::string();
}

void Dialog::SetCaption(std::string caption) {
    if (caption == m_caption) return;
    m_caption = std::move(caption);
    NotifyDialogChanged(DialogChange::Caption);
}

void Dialog::SetIcon(IconHandle icon, bool big) {
    (big ? m_bigIcon : m_smallIcon) = icon;
    NotifyDialogChanged(DialogChange::Icon);
}

void Dialog::SetFocus(int id) {
    if (GetControl(id) == nullptr) return;
    m_focusId = id;
    NotifyDialogChanged(DialogChange::Focus);
}

void Dialog::ShowWindow(bool show) {
    if (show == m_windowVisible) return;
    m_windowVisible = show;
    NotifyDialogChanged(DialogChange::WindowVisible);
}

void Dialog::EnableWindow(bool enable) {
    if (enable == m_windowEnabled) return;
    m_windowEnabled = enable;
    NotifyDialogChanged(DialogChange::WindowEnabled);
}

bool Dialog::TypeText(int id, std::string text) {
    Control* c = UsableControl(id, ControlKind::EditBox);
    if (c == nullptr) return false;
    ++g_inputCount;
    c->SetText(std::move(text));  // the edit box reports the change itself
    return true;
}

bool Dialog::Click(int id) {
    Control* c = UsableControl(id, ControlKind::RadioButton);
    if (c != nullptr) {
        // An automatic radio button checks itself and clears the others of its group.
        for (Control* other : RadioGroupOf(id))
            other->SetChecked(other == c);
    } else {
        c = UsableControl(id, ControlKind::PushButton);
        if (c == nullptr) return false;
    }
    ++g_inputCount;
    Notify(id, Notification::Clicked);
    return true;
}

bool Dialog::SelectItem(int id, int index) {
    Control* c = UsableControl(id, ControlKind::DropDownList);
    if (c == nullptr || index < 0 || index >= c->ItemCount()) return false;
    ++g_inputCount;
    c->SetSelection(index);
    Notify(id, Notification::SelectionChanged);
    return true;
}

void Dialog::NotifyDialogChanged(DialogChange what) {
    // The host mirrors open windows only; it learns the rest from DialogChange::Created.
    if (m_created) CurrentHost().OnDialogChanged(*this, what);
}

void Dialog::ControlChanged(Control& control, ControlChange what) {
    CurrentHost().OnControlChanged(control, what);
}

void Dialog::Notify(int id, Notification what) {
    // Values that a data exchange writes must not look like the user's input.
    if (IsExchangingData()) return;
    OnCommand(id, what);
}

Control* Dialog::UsableControl(int id, ControlKind kind) {
    if (!m_created || !m_windowVisible || !m_windowEnabled) return nullptr;
    Control* c = GetControl(id);
    if (c == nullptr || c->Kind() != kind || !c->IsVisible() || !c->IsEnabled()) return nullptr;
    return c;
}

}  // namespace framework
