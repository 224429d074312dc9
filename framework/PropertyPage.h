#pragma once

// A page of a property sheet in wizard mode. The sheet creates the page's window the first
// time it becomes active (OnInitDialog), then calls OnSetActive on every activation;
// OnKillActive when the user leaves it with Next or Back; OnWizardNext/Back/Finish for the
// buttons. The base versions give the framework's defaults (data exchange and validation).
//   class ConnectPage : public framework::PropertyPage {
//   public:
//       ConnectPage() : PropertyPage(201) { SetHelpFlag(false); }
//       BOOL OnKillActive() override {
//           if (!PropertyPage::OnKillActive()) return FALSE;
//           ...
//       }
//   };

#include "framework/Dialog.h"

namespace framework {

class PropertySheet;

class PropertyPage : public Dialog {
public:
    explicit PropertyPage(int templateId);
    // A page destroyed while still in a sheet leaves it first.
    ~PropertyPage() override;

    // Every activation; the base writes the fields into the controls again, except on the
    // first activation (OnInitDialog has just done it). FALSE refuses the activation.
    virtual BOOL OnSetActive();
    // Leaving by Next or Back; the base takes the controls over into the fields with
    // validation. FALSE keeps the page.
    virtual BOOL OnKillActive();
    // After OnKillActive accepted Back; FALSE stays on this page.
    virtual BOOL OnWizardBack();
    // After OnKillActive accepted Next; FALSE stays on this page.
    virtual BOOL OnWizardNext();
    // The Finish button (OnKillActive is not run for it); TRUE closes the sheet with IDOK.
    virtual BOOL OnWizardFinish();

    // The sheet the page was added to; null when none.
    PropertySheet* GetParent() const { return m_sheet; }

    // Whether the page asks for a Help button; set by default.
    bool HasHelpFlag() const { return m_hasHelp; }
    void SetHelpFlag(bool hasHelp) { m_hasHelp = hasHelp; }

    void DestroyWindow() override;

private:
    friend class PropertySheet;
    PropertySheet* m_sheet = nullptr;
    bool m_firstSetActive = true;
    bool m_hasHelp = true;
};

}  // namespace framework
