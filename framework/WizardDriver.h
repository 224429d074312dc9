#pragma once

// Drives a property sheet like a user at the screen, for tests: choose, type, click, Next,
// Back, Finish, Cancel, and read what the screen shows. Every action goes through the one door
// (Dialog::TypeText/Click/SelectItem), so hidden or disabled controls refuse it.
//   framework::WizardDriver w(sheet);
//   w.Open();                          // as DoModal would, without a modal loop
//   w.Select(1004, "2400");
//   EXPECT_TRUE(w.Next());
//   EXPECT_EQ(w.Caption(), "... Step 2 of 5");

#include <string>
#include <vector>

#include "framework/PropertySheet.h"

namespace framework {

class WizardDriver {
public:
    explicit WizardDriver(PropertySheet& sheet) : m_sheet(sheet) {}

    // Opens the sheet's window: OnInitDialog and the start page.
    bool Open();

    // Input on the active page; false when the control refuses it (or, for Select, no item
    // has that text).
    bool Select(int id, const std::string& itemText);
    bool SelectIndex(int id, int index);
    bool Type(int id, const std::string& text);
    // A control of the active page, or else a button of the sheet.
    bool Click(int id);

    // The wizard buttons; false when the button is hidden or disabled.
    bool Next() { return m_sheet.Click(ID_WIZNEXT); }
    bool Back() { return m_sheet.Click(ID_WIZBACK); }
    bool Finish() { return m_sheet.Click(ID_WIZFINISH); }
    bool Cancel() { return m_sheet.Click(IDCANCEL); }

    // What the screen shows. Controls are looked up on the active page, then on the sheet;
    // an id found on neither reads as "", -1, false and no items.
    std::string Caption() const { return m_sheet.GetCaption(); }
    int ActiveIndex() const { return m_sheet.GetActiveIndex(); }
    PropertyPage* ActivePage() const { return m_sheet.GetActivePage(); }
    const Control* Find(int id) const;
    std::string Text(int id) const;
    bool IsEnabled(int id) const;
    bool IsVisible(int id) const;
    bool IsChecked(int id) const;
    std::vector<std::string> Items(int id) const;
    int Selection(int id) const;
    std::string SelectedText(int id) const;
    int FocusId() const;
    bool IsEnded() const { return m_sheet.IsEnded(); }
    int Result() const { return m_sheet.GetResult(); }

private:
    PropertySheet& m_sheet;
};

}  // namespace framework
