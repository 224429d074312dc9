#include "framework/PropertyPage.h"

#include "framework/PropertySheet.h"

namespace framework {

PropertyPage::PropertyPage(int templateId) : Dialog(templateId) {}

PropertyPage::~PropertyPage() {
    if (m_sheet != nullptr) m_sheet->RemovePage(this);
}

BOOL PropertyPage::OnSetActive() {
    // OnInitDialog has just filled the controls on the first activation.
    if (m_firstSetActive) {
        m_firstSetActive = false;
    } else {
        UpdateData(FALSE);
    }
    return TRUE;
}

BOOL PropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}

BOOL PropertyPage::OnWizardBack() {
    return TRUE;
}

BOOL PropertyPage::OnWizardNext() {
    return TRUE;
}

BOOL PropertyPage::OnWizardFinish() {
    return TRUE;
}

void PropertyPage::DestroyWindow() {
    Dialog::DestroyWindow();
    // A window made again starts with a first activation again.
    m_firstSetActive = true;
}

}  // namespace framework
