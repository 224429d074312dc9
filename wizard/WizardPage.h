#pragma once

// The common base of the five wizard steps: reaches the sheet and its serial device, updates
// the wizard buttons on every activation, and runs the Finish sequence (validate the page,
// apply every setting, make the instrument store them).

#include <string>
#include <string_view>

#include "framework/PropertyPage.h"
#include "support/Bool.h"

class CVeltrixInstrumentSettingsDlg;
class SerialDevice;

class WizardPage : public framework::PropertyPage {
public:
    // templateId: the step's dialog template. No page shows a Help button.
    explicit WizardPage(int templateId);

    // The parent window taken as the wizard sheet; null while the page is in no such sheet.
    virtual CVeltrixInstrumentSettingsDlg* GetParentSheet();
    // The sheet's serial device; null without a sheet.
    virtual SerialDevice* GetDevice();

    BOOL OnSetActive() override;
    // Validates the page, then applies and saves the settings; TRUE closes the wizard.
    BOOL OnWizardFinish() override;

protected:
    // One command through the sheet's transaction (ready poll, command, one reply); returns the
    // reply text, "" without a sheet. The results of both calls are not needed by the steps.
    std::string Exchange(std::string_view command);
    // One more reply through the sheet, without sending; "" without a sheet.
    std::string ReadNextReply();
    // The type code identified on step 1 and the one chosen on step 2; "" without a sheet.
    std::string ConnectedTypeCode();
    std::string SelectedTypeCode();
};
