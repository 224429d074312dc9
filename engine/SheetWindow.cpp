// The sheet's window: icon, the wizard buttons, and closing while an automation client holds
// the program.

#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Control.h"
#include "framework/Ids.h"
#include "resources/Resource.h"

BOOL CVeltrixInstrumentSettingsDlg::OnInitDialog() {
    ShowControl(IDC_LOAD_PROFILE, m_pProfileButtons != nullptr);
    ShowControl(IDC_SAVE_PROFILE, m_pProfileButtons != nullptr);
    PropertySheet::OnInitDialog();
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    return TRUE;
}

void CVeltrixInstrumentSettingsDlg::OnPageShown(framework::PropertyPage& page) {
    if (m_pProfileButtons != nullptr) m_pProfileButtons->OnStepShown(GetPageIndex(&page));
}

// The buttons are shown, hidden and enabled directly, so the last page offers Finish without
// Next whatever the framework's own button setting would be.
void CVeltrixInstrumentSettingsDlg::UpdateWizardButtons(framework::PropertyPage* activePage) {
    const int index = GetPageIndex(activePage);
    const bool last = index == GetPageCount() - 1;
    framework::Control* back = GetControl(framework::ID_WIZBACK);
    framework::Control* next = GetControl(framework::ID_WIZNEXT);
    framework::Control* finish = GetControl(framework::ID_WIZFINISH);
    if (back == nullptr || next == nullptr || finish == nullptr) return;
    finish->Show(last);
    next->Show(!last);
    back->Enable(index != 0);
}

// The profile buttons, when a face offers them; and while the link is lost, the steps between
// would only talk to a line that is gone, so Back skips them.
void CVeltrixInstrumentSettingsDlg::OnCommand(int id, framework::Notification what) {
    if (m_pProfileButtons != nullptr && what == framework::Notification::Clicked) {
        if (id == IDC_LOAD_PROFILE) {
            m_pProfileButtons->Load();
            return;
        }
        if (id == IDC_SAVE_PROFILE) {
            m_pProfileButtons->Save();
            return;
        }
    }
    if (what == framework::Notification::Clicked && GetActiveIndex() > 0 &&
        GetDevice()->IsLinkLost()) {
        if (id == framework::ID_WIZNEXT || id == framework::ID_WIZFINISH) {
            m_linkNotices.CheckLost(*GetDevice());
            return;
        }
        if (id == framework::ID_WIZBACK) {
            SetActivePage(0);
            return;
        }
    }
    PropertySheet::OnCommand(id, what);
}

// The lost-link message has been shown by the read that met it; the page that stays gets its
// buttons back.
bool CVeltrixInstrumentSettingsDlg::KeepActivatedPage(framework::PropertyPage& page,
                                                      framework::PropertyPage* previous) {
    if (GetPageIndex(&page) == 0 || !GetDevice()->IsLinkLost()) return true;
    if (previous != nullptr) UpdateWizardButtons(previous);
    return false;
}

// A hidden wizard can never be shown again (the automation object has no members), so it lets
// go of its port for other programs while the client keeps the program alive.
BOOL CVeltrixInstrumentSettingsDlg::CanExit() {
    if (m_pAutoProxy != nullptr) {
        ShowWindow(false);
        if (m_pDevice != nullptr) m_pDevice->CloseSerial();
        return FALSE;
    }
    return TRUE;
}

void CVeltrixInstrumentSettingsDlg::OnDestroy() {
    if (CanExit()) PropertySheet::OnDestroy();
}
