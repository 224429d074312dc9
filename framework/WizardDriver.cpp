#include "framework/WizardDriver.h"

namespace framework {

bool WizardDriver::Open() {
    return m_sheet.Create() != FALSE;
}

bool WizardDriver::Select(int id, const std::string& itemText) {
    PropertyPage* page = ActivePage();
    const Control* c = page != nullptr ? page->GetControl(id) : nullptr;
    if (c == nullptr) return false;
    const int index = c->FindItem(itemText);
    return index >= 0 && page->SelectItem(id, index);
}

bool WizardDriver::SelectIndex(int id, int index) {
    PropertyPage* page = ActivePage();
    return page != nullptr && page->SelectItem(id, index);
}

bool WizardDriver::Type(int id, const std::string& text) {
    PropertyPage* page = ActivePage();
    return page != nullptr && page->TypeText(id, text);
}

bool WizardDriver::Click(int id) {
    PropertyPage* page = ActivePage();
    if (page != nullptr && page->GetControl(id) != nullptr) return page->Click(id);
    return m_sheet.Click(id);
}

const Control* WizardDriver::Find(int id) const {
    const PropertyPage* page = ActivePage();
    const Control* c = page != nullptr ? page->GetControl(id) : nullptr;
    return c != nullptr ? c : m_sheet.GetControl(id);
}

std::string WizardDriver::Text(int id) const {
    const Control* c = Find(id);
    return c != nullptr ? c->Text() : std::string();
}

bool WizardDriver::IsEnabled(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->IsEnabled();
}

bool WizardDriver::IsVisible(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->IsVisible();
}

bool WizardDriver::IsChecked(int id) const {
    const Control* c = Find(id);
    return c != nullptr && c->IsChecked();
}

std::vector<std::string> WizardDriver::Items(int id) const {
    const Control* c = Find(id);
    return c != nullptr ? c->Items() : std::vector<std::string>();
}

int WizardDriver::Selection(int id) const {
    const Control* c = Find(id);
    return c != nullptr ? c->Selection() : -1;
}

std::string WizardDriver::SelectedText(int id) const {
    const Control* c = Find(id);
    return c != nullptr ? c->SelectedText() : std::string();
}

int WizardDriver::FocusId() const {
    const PropertyPage* page = ActivePage();
    return page != nullptr ? page->GetFocusId() : 0;
}

}  // namespace framework
