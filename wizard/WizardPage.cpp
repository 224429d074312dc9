#include "wizard/WizardPage.h"

#include "engine/CVeltrixInstrumentSettingsDlg.h"

WizardPage::WizardPage(int templateId) : framework::PropertyPage(templateId) {
    SetHelpFlag(false);
}

CVeltrixInstrumentSettingsDlg* WizardPage::GetParentSheet() {
    return dynamic_cast<CVeltrixInstrumentSettingsDlg*>(GetParentWindow());
}

SerialDevice* WizardPage::GetDevice() {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    return sheet != nullptr ? sheet->GetDevice() : nullptr;
}

BOOL WizardPage::OnSetActive() {
    // The buttons must fit this page before the framework shows it.
    if (CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet()) sheet->UpdateWizardButtons(this);
    return framework::PropertyPage::OnSetActive();
}

BOOL WizardPage::OnWizardFinish() {
    // Virtual on purpose: a step's own leave-page checks run before anything is written.
    if (!OnKillActive()) return FALSE;
    if (!framework::PropertyPage::OnWizardFinish()) return FALSE;
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    if (sheet == nullptr || !sheet->ApplySettings()) return FALSE;
    return sheet->SaveSettings();
}

std::string WizardPage::Exchange(std::string_view command) {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    if (sheet == nullptr) return {};
    sheet->SendCommand(std::string(command));
    return ReadNextReply();
}

std::string WizardPage::ReadNextReply() {
    std::string reply;
    if (CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet()) sheet->ReadReply(reply);
    return reply;
}

std::string WizardPage::ConnectedTypeCode() {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    return sheet != nullptr ? sheet->GetInstrumentType() : std::string();
}

std::string WizardPage::SelectedTypeCode() {
    CVeltrixInstrumentSettingsDlg* sheet = GetParentSheet();
    return sheet != nullptr ? sheet->GetSelectedTypeCode() : std::string();
}
