#pragma once

// Step 2: the instrument mode (native or one of three emulations) and the baud rate the
// instrument is to use afterwards. The choice is carried out on Finish.

#include <string>

#include "framework/DataExchange.h"
#include "wizard/WizardPage.h"

class InstrumentModePage : public WizardPage {
public:
    InstrumentModePage();

    // Refills the baud box with the rates of m_nMode, keeps m_strBaudRate to one the mode
    // offers and sets the line-format text. The caller runs the data exchange.
    virtual void FillBaudRateList();

    std::string m_strBaudRate;    // the new baud rate, text of the selected item
    int m_nMode = -1;             // 0 Veltrix, 1 Morvane, 2 Dravell, 3 OXQ; -1 none
    std::string m_strLineFormat;  // shown in label 1050

protected:
    void DoDataExchange(framework::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnCommand(int id, framework::Notification what) override;

private:
    void OnModeClicked();
};
