// The sheet's window: icon, the wizard buttons, and closing while an automation client holds
// the program.

#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Control.h"
#include "framework/Ids.h"

BOOL CVeltrixInstrumentSettingsDlg::OnInitDialog() {
    PropertySheet::OnInitDialog();
    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);
    return TRUE;
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
