#pragma once

// One run of a dialog's data-exchange table, in one direction. A page lists its mappings in
// DoDataExchange; the same table fills the controls (UpdateData(FALSE)) and reads them back
// with validation (UpdateData(TRUE)).
//   void DoDataExchange(framework::DataExchange& dx) override {
//       dx.ListByText(1004, m_strBaudRate);
//       dx.RadioGroup(1028, m_nMode);
//       dx.Integer(1006, m_nDistance, 175, 9000);
//   }
// On the first validation failure the message is shown, the focus goes to the control, and
// neither the failing field nor any field after it is changed by the run.

#include <optional>
#include <string>
#include <utility>

#include "framework/Dialog.h"

namespace framework {

class DataExchange {
public:
    DataExchange(Dialog& dialog, bool saveAndValidate);

    // TRUE: controls into fields; FALSE: fields into controls.
    bool IsSaving() const { return m_saving; }
    bool Failed() const { return m_failed; }
    Dialog& GetDialog() const { return m_dialog; }

    // Drop-down list by text. Into: selects the first item equal to value byte for byte; when
    // none is, the selection stays. Out: the selected item's text, "" when none.
    void ListByText(int id, std::string& value);
    // Drop-down list by index. Into: that item, none when out of range. Out: index, -1 none.
    void ListByIndex(int id, int& value);
    // Radio group named by its first button. Into: checks the button at that position and
    // unchecks the others (none when out of range). Out: position of the checked one, -1 none.
    void RadioGroup(int firstId, int& value);
    // Edit box holding an integer. Out: "Please enter an integer." when the text is none.
    void Integer(int id, int& value);
    // As above, then "Please enter an integer between <min> and <max>." outside min..max.
    void Integer(int id, int& value, int min, int max);
    // Any control's text, both ways (labels).
    void Label(int id, std::string& value);

private:
    bool Skip() const { return m_failed; }
    // Both integer forms; bounds are checked only when given.
    void IntegerBox(int id, int& value, const std::optional<std::pair<int, int>>& bounds);
    void Fail(int id, const std::string& message);

    Dialog& m_dialog;
    const bool m_saving;
    bool m_failed = false;
};

}  // namespace framework
