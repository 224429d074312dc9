#include "framework/Control.h"

#include <algorithm>

#include "framework/Dialog.h"

namespace framework {

Control::Control(Dialog& owner, const ControlTemplate& from)
    : m_owner(owner),
      m_id(from.id),
      m_kind(from.kind),
      m_rect(from.rect),
      m_groupStart(from.groupStart),
      m_centred(from.centred),
      m_text(from.text),
      m_enabled(from.enabled),
      m_visible(from.visible),
      m_items(from.items) {}

void Control::SetText(std::string text) {
    // An edit box reports every text it is given, even the same one, as the platform does.
    const bool same = text == m_text;
    m_text = std::move(text);
    if (!same) Changed(ControlChange::Text);
    if (m_kind == ControlKind::EditBox) m_owner.Notify(m_id, Notification::Changed);
}

void Control::Enable(bool enable) {
    if (enable == m_enabled) return;
    m_enabled = enable;
    Changed(ControlChange::Enabled);
}

void Control::Show(bool show) {
    if (show == m_visible) return;
    m_visible = show;
    Changed(ControlChange::Visible);
}

void Control::SetChecked(bool checked) {
    if (checked == m_checked) return;
    m_checked = checked;
    Changed(ControlChange::Checked);
}

std::string Control::ItemText(int index) const {
    return index >= 0 && index < ItemCount() ? m_items[static_cast<std::size_t>(index)]
                                             : std::string();
}

void Control::ResetItems() {
    m_items.clear();
    Changed(ControlChange::Items);
    SetSelection(-1);
}

int Control::AddItem(std::string text) {
    m_items.push_back(std::move(text));
    Changed(ControlChange::Items);
    return ItemCount() - 1;
}

int Control::FindItem(const std::string& text) const {
    const auto found = std::find(m_items.begin(), m_items.end(), text);
    return found == m_items.end() ? -1 : static_cast<int>(found - m_items.begin());
}

void Control::SetSelection(int index) {
    if (index < 0 || index >= ItemCount()) index = -1;
    if (index == m_selection) return;
    m_selection = index;
    Changed(ControlChange::Selection);
}

std::string Control::SelectedText() const {
    return ItemText(m_selection);
}

void Control::Changed(ControlChange what) {
    m_owner.ControlChanged(*this, what);
}

}  // namespace framework
