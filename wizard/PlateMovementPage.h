#pragma once

// Step 5: where the plate carrier moves by default (at power on, at the end of a measurement,
// at remote on and off). Offered only in an emulation mode with firmware 3.10 or later.

#include "framework/DataExchange.h"
#include "wizard/StepRead.h"
#include "wizard/WizardPage.h"

class PlateMovementPage : public WizardPage {
public:
    PlateMovementPage();

    // Each the position of the selected button in its group (position + 1 on the wire);
    // -1 when none is selected.
    int m_nAtPowerOn = -1;
    int m_nAtMeasurementEnd = -1;
    int m_nAtRemoteOn = -1;
    int m_nAtRemoteOff = -1;

    BOOL OnSetActive() override;

protected:
    void DoDataExchange(framework::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnCommand(int id, framework::Notification what) override;

private:
    void OnSetDefault();
    // Whether the step is offered for the chosen mode and the firmware; when not, label 1058
    // says why.
    bool CheckAvailability();
    void EnableChoices(bool available);
    // Puts what OnInitDialog read into the sheet's description; tells a failed read.
    void DescribePlate(StepRead& read, bool available);
};
