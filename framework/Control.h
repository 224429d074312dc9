#pragma once

// One control of a dialog window, made from its template. Every change goes through the
// setters, which tell the owning dialog, so the host can mirror it on screen and an edit box
// can report its text change to the page, as a real edit control does.
//   framework::Control* c = page.GetControl(1004);
//   if (c) { c->ResetItems(); c->AddItem("9600"); c->SetSelection(0); }
// Setters are program changes; user input enters through Dialog::TypeText/Click/SelectItem.

#include <string>
#include <vector>

#include "framework/DialogTemplate.h"

namespace framework {

class Dialog;

enum class ControlChange { Text, Items, Selection, Checked, Enabled, Visible };

class Control {
public:
    Control(Dialog& owner, const ControlTemplate& from);
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    int Id() const { return m_id; }
    ControlKind Kind() const { return m_kind; }
    const Rect& Bounds() const { return m_rect; }
    bool IsGroupStart() const { return m_groupStart; }
    bool IsCentred() const { return m_centred; }
    Dialog& Owner() const { return m_owner; }

    const std::string& Text() const { return m_text; }
    // An edit box reports every text it is given to its page as Notification::Changed.
    void SetText(std::string text);

    bool IsEnabled() const { return m_enabled; }
    void Enable(bool enable);
    bool IsVisible() const { return m_visible; }
    void Show(bool show);

    // Radio buttons.
    bool IsChecked() const { return m_checked; }
    void SetChecked(bool checked);

    // Drop-down lists: items in the order added, selection -1 when none.
    const std::vector<std::string>& Items() const { return m_items; }
    int ItemCount() const { return static_cast<int>(m_items.size()); }
    // "" for an index out of range.
    std::string ItemText(int index) const;
    // Empties the list; the selection becomes none.
    void ResetItems();
    // Appends an item and returns its index.
    int AddItem(std::string text);
    // Index of the first item equal to text byte for byte; -1 when none.
    int FindItem(const std::string& text) const;
    int Selection() const { return m_selection; }
    // An index out of range selects none.
    void SetSelection(int index);
    // The selected item's text; "" when none.
    std::string SelectedText() const;

private:
    void Changed(ControlChange what);

    Dialog& m_owner;
    const int m_id;
    const ControlKind m_kind;
    const Rect m_rect;
    const bool m_groupStart;
    const bool m_centred;
    std::string m_text;
    bool m_enabled;
    bool m_visible;
    bool m_checked = false;
    std::vector<std::string> m_items;
    int m_selection = -1;
};

}  // namespace framework
