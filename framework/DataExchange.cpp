#include "framework/DataExchange.h"

#include "framework/Host.h"
#include "framework/IntegerText.h"

namespace framework {
namespace {

const char* const kNoInteger = "Please enter an integer.";
const char* const kIntegerRange = "Please enter an integer between %1 and %2.";

std::string RangeMessage(int min, int max) {
    std::string text = kIntegerRange;
    text.replace(text.find("%1"), 2, std::to_string(min));
    text.replace(text.find("%2"), 2, std::to_string(max));
    return text;
}

}  // namespace

DataExchange::DataExchange(Dialog& dialog, bool saveAndValidate)
    : m_dialog(dialog), m_saving(saveAndValidate) {}

void DataExchange::ListByText(int id, std::string& value) {
    Control* c = m_dialog.GetControl(id);
    if (Skip() || c == nullptr) return;
    if (m_saving) {
        value = c->SelectedText();
    } else if (const int index = c->FindItem(value); index >= 0) {
        c->SetSelection(index);
    }
}

void DataExchange::ListByIndex(int id, int& value) {
    Control* c = m_dialog.GetControl(id);
    if (Skip() || c == nullptr) return;
    if (m_saving) {
        value = c->Selection();
    } else {
        c->SetSelection(value);
    }
}

void DataExchange::RadioGroup(int firstId, int& value) {
    if (Skip()) return;
    // The group runs from its first button to before the next control that starts a group.
    const auto& controls = m_dialog.Controls();
    std::size_t at = 0;
    while (at < controls.size() && controls[at]->Id() != firstId)
        ++at;
    if (firstId == IDC_STATIC || at == controls.size()) return;
    int position = 0;
    int checked = -1;
    for (std::size_t i = at; i < controls.size(); ++i) {
        Control& c = *controls[i];
        if (i != at && c.IsGroupStart()) break;
        if (c.Kind() != ControlKind::RadioButton) continue;
        if (m_saving) {
            if (c.IsChecked() && checked < 0) checked = position;
        } else {
            c.SetChecked(position == value);
        }
        ++position;
    }
    if (m_saving) value = checked;
}

void DataExchange::Integer(int id, int& value) {
    IntegerBox(id, value, std::nullopt);
}

void DataExchange::Integer(int id, int& value, int min, int max) {
    IntegerBox(id, value, std::pair{min, max});
}

void DataExchange::IntegerBox(int id, int& value,
                              const std::optional<std::pair<int, int>>& bounds) {
    Control* c = m_dialog.GetControl(id);
    if (Skip() || c == nullptr) return;
    if (!m_saving) {
        c->SetText(std::to_string(value));
        return;
    }
    const std::optional<int> typed = ParseInteger(c->Text());
    if (!typed) return Fail(id, kNoInteger);
    // A value out of range never reaches the field, so no later reader can pick it up.
    if (bounds && (*typed < bounds->first || *typed > bounds->second)) {
        return Fail(id, RangeMessage(bounds->first, bounds->second));
    }
    value = *typed;
}

void DataExchange::Label(int id, std::string& value) {
    Control* c = m_dialog.GetControl(id);
    if (Skip() || c == nullptr) return;
    if (m_saving) {
        value = c->Text();
    } else {
        c->SetText(value);
    }
}

void DataExchange::Fail(int id, const std::string& message) {
    m_failed = true;
    MessageBox(message, MessageIcon::Warning);
    m_dialog.SetFocus(id);
}

}  // namespace framework
