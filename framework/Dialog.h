#pragma once

// A window made from a dialog template: its controls by id, its caption and window state, data
// exchange between controls and fields, and the one door for user input.
//   class MyPage : public framework::PropertyPage { ... };   // usually through a page
//   dlg.EnableControl(1006, false);
//   dlg.ResetList(1004); dlg.AddListItem(1004, "9600");
//   dlg.UpdateData(TRUE);               // controls -> fields, with validation
//   dlg.TypeText(1009, "440");          // as the user would; notifies OnCommand
// Every change of an open window is reported to the current host (Host.h), which mirrors it.

#include <memory>
#include <string>
#include <vector>

#include "framework/Control.h"
#include "framework/DialogTemplate.h"
#include "framework/Resources.h"
#include "support/Bool.h"

namespace framework {

class DataExchange;

// How many inputs the one door (TypeText, Click, SelectItem) has taken on this thread, so
// that work can tell whether the user has acted since it last said something.
unsigned long InputCount();

// What a control reports to its dialog's OnCommand.
enum class Notification {
    Changed,           // an edit box's text changed
    Clicked,           // a push button or radio button was clicked
    SelectionChanged,  // a drop-down list's selection changed
};

// What changed in a dialog as a whole, for the host's mirror.
enum class DialogChange {
    Created,    // the controls exist now
    Destroyed,  // the controls are about to go
    Caption,
    Icon,
    Focus,
    WindowVisible,
    WindowEnabled,
    ActivePage,  // property sheets: another page became active
    Ended,       // EndDialog: the modal run is to return
};

class Dialog {
public:
    // The dialog made from the registered template with this id.
    explicit Dialog(int templateId);
    // A dialog made from its own template (the property sheet's frame).
    explicit Dialog(DialogTemplate ownTemplate);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs once the controls exist; the base writes the fields into the controls.
    virtual BOOL OnInitDialog();
    // A control of this dialog reported something; ignored while a data exchange runs.
    virtual void OnCommand(int id, Notification what);
    // The dialog's table between controls and fields.
    virtual void DoDataExchange(DataExchange& dx);
    // The window is about to be destroyed.
    virtual void OnDestroy();

    // Makes the controls from the template and runs OnInitDialog. FALSE when the template is
    // not registered (the dialog then has no controls). TRUE at once when already created.
    BOOL Create();
    bool IsCreated() const { return m_created; }
    // OnDestroy, then the controls go. Nothing when not created.
    virtual void DestroyWindow();

    int GetTemplateId() const { return m_templateId; }
    // Size and font of the template in use (empty before Create).
    const DialogTemplate& GetTemplate() const { return m_template; }

    // Runs DoDataExchange: TRUE = controls into fields with validation, FALSE = fields into
    // controls. Returns FALSE when a field failed validation (a message has been shown).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    bool IsExchangingData() const { return m_exchangeDepth > 0; }

    // Controls in tab order; null for an id that is not there.
    Control* GetControl(int id);
    const Control* GetControl(int id) const;
    const std::vector<std::unique_ptr<Control>>& Controls() const { return m_controls; }
    // The radio buttons of the group that holds id, in tab order: from the group start at or
    // before id to before the next group start. Empty when id is no radio button.
    std::vector<Control*> RadioGroupOf(int id);

    // Null-safe helpers: an id that is not there is ignored ("" / -1 / 0 / false on reads).
    void EnableControl(int id, bool enable = true);
    bool IsControlEnabled(int id) const;
    void ShowControl(int id, bool show = true);
    bool IsControlVisible(int id) const;
    void SetControlText(int id, std::string text);
    std::string GetControlText(int id) const;
    void CheckRadio(int id, bool checked = true);
    bool IsRadioChecked(int id) const;
    void ResetList(int id);
    int AddListItem(int id, std::string text);
    void SelectListItem(int id, int index);
    int GetListSelection(int id) const;
    int GetListCount(int id) const;
    std::string GetListItemText(int id, int index) const;

    const std::string& GetCaption() const { return m_caption; }
    void SetCaption(std::string caption);
    IconHandle GetIcon(bool big) const { return big ? m_bigIcon : m_smallIcon; }
    void SetIcon(IconHandle icon, bool big);
    // The control with the keyboard focus; 0 when none.
    int GetFocusId() const { return m_focusId; }
    void SetFocus(int id);
    bool IsWindowVisible() const { return m_windowVisible; }
    void ShowWindow(bool show);
    bool IsWindowEnabled() const { return m_windowEnabled; }
    void EnableWindow(bool enable);
    Dialog* GetParentWindow() const { return m_parent; }
    void SetParentWindow(Dialog* parent) { m_parent = parent; }

    // The one door for user input. Each refuses (false) a control that is missing, hidden,
    // disabled or of the wrong kind, or a window that is not open or disabled; otherwise it
    // updates the control and then notifies OnCommand (unless a data exchange runs).
    bool TypeText(int id, std::string text);  // edit boxes
    bool Click(int id);                       // push buttons; radio buttons check themselves
    bool SelectItem(int id, int index);       // drop-down lists, index within the items

protected:
    // Tells the host, while the window is open; derived dialogs report their own changes
    // (ActivePage, Ended) this way.
    void NotifyDialogChanged(DialogChange what);

private:
    friend class Control;
    void ControlChanged(Control& control, ControlChange what);
    void Notify(int id, Notification what);
    Control* UsableControl(int id, ControlKind kind);

    int m_templateId = 0;
    bool m_ownTemplate = false;
    DialogTemplate m_template;
    bool m_created = false;
    std::vector<std::unique_ptr<Control>> m_controls;
    int m_exchangeDepth = 0;
    std::string m_caption;
    IconHandle m_bigIcon = 0;
    IconHandle m_smallIcon = 0;
    int m_focusId = 0;
    bool m_windowVisible = true;
    bool m_windowEnabled = true;
    Dialog* m_parent = nullptr;
};

}  // namespace framework
