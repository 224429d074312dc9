#pragma once

// A property sheet in wizard mode: the page order, the active page, the wizard buttons Back
// (ID_WIZBACK), Next (ID_WIZNEXT), Finish (ID_WIZFINISH) and Cancel (IDCANCEL) as controls of
// the sheet, and the modal run. Pages are not owned: the derived sheet owns them.
//   class MySheet : public framework::PropertySheet {
//   public:
//       MySheet() : PropertySheet(2002) { AddPage(&m_first); SetWizardMode(); }
//   };
//   int result = sheet.DoModal();   // IDOK after Finish, IDCANCEL after Cancel
// Buttons are pressed through the one door: sheet.Click(framework::ID_WIZNEXT).
//   Next:   active page's OnKillActive (may refuse), OnWizardNext, then the next page.
//   Back:   OnKillActive, OnWizardBack, then the previous page.
//   Finish: the page's OnWizardFinish only; TRUE ends the run with IDOK.
//   Cancel: ends the run with IDCANCEL.
// The window title is the active page's caption (the sheet's caption string when it has none).

#include <vector>

#include "framework/Dialog.h"
#include "framework/Ids.h"
#include "framework/PropertyPage.h"

namespace framework {

class PropertySheet : public Dialog {
public:
    // captionId: string resource of the sheet's caption; selectPage: index of the page shown
    // first; extraButtons: push buttons of the sheet's own in the row of the wizard buttons, at
    // their template's place in the row (x from the row's left edge).
    explicit PropertySheet(int captionId, Dialog* parent = nullptr, int selectPage = 0,
                           std::vector<ControlTemplate> extraButtons = {});
    ~PropertySheet() override;

    // The base activates the start page.
    BOOL OnInitDialog() override;
    // The wizard buttons.
    void OnCommand(int id, Notification what) override;
    // Destroys the pages' windows too, and ends a modal run still going with IDCANCEL.
    void DestroyWindow() override;

    // Header flags: PSH_WIZARD, PSH_HASHELP (set by default).
    unsigned GetFlags() const { return m_flags; }
    void SetFlags(unsigned flags) { m_flags = flags; }
    void SetWizardMode() { m_flags |= PSH_WIZARD; }
    bool IsWizardMode() const { return (m_flags & PSH_WIZARD) != 0; }
    int GetCaptionId() const { return m_captionId; }

    // Appends a page (ignored when null or already in the sheet).
    void AddPage(PropertyPage* page);
    // Takes a page out; when it was active while the window is open, the page now at its
    // index (or the last one) becomes active.
    void RemovePage(PropertyPage* page);
    void RemovePage(int index);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    // Null for an index out of range.
    PropertyPage* GetPage(int index) const;
    // -1 when the page is not in the sheet.
    int GetPageIndex(const PropertyPage* page) const;
    PropertyPage* GetActivePage() const { return GetPage(m_activeIndex); }
    // -1 when no page is active.
    int GetActiveIndex() const { return m_activeIndex; }
    // Leaves the active page (OnKillActive may refuse) and activates the page at index.
    BOOL SetActivePage(int index);
    BOOL SetActivePage(PropertyPage* page);

    // Opens the window, runs it through the current host and returns the result.
    int DoModal();
    // Ends the run with this result (the host's modal loop returns).
    void EndDialog(int result);
    bool IsEnded() const { return m_ended; }
    int GetResult() const { return m_result; }
    bool IsModalRunning() const { return m_modalRunning; }
    // The window's close box: as Cancel.
    void Close();

protected:
    // Asked while a page is being activated, after its initialisation (the first time) and
    // again after its OnSetActive: false withdraws the activation. The page that was active
    // stays (previous; null when none was), and a page whose window this activation made loses
    // it again, so that its next activation initialises it afresh. The base keeps every page.
    virtual bool KeepActivatedPage(PropertyPage& page, PropertyPage* previous);
    // A page has become the active one and shows, its activation handled.
    virtual void OnPageShown(PropertyPage& /*page*/) {}

private:
    BOOL ActivatePage(int index);
    void PressNext();
    void PressBack();
    void PressFinish();
    void UpdateTitle();

    int m_captionId;
    int m_startPage;
    unsigned m_flags = PSH_HASHELP;
    std::vector<PropertyPage*> m_pages;
    int m_activeIndex = -1;
    bool m_ended = false;
    int m_result = IDCANCEL;
    bool m_modalRunning = false;
};

}  // namespace framework
