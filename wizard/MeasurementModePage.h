#pragma once

// Step 4: the measurement mode, one of three presets (flashes, points, distance). A Custom
// option with free values exists in the dialog but stays hidden.

#include "engine/InstrumentSettings.h"
#include "framework/DataExchange.h"
#include "wizard/WizardPage.h"

class MeasurementModePage : public WizardPage {
public:
    MeasurementModePage();

    int m_nMeasurementMode = -1;  // 0 Normal, 1 Accuracy, 2 Center, 3 Custom; -1 none
    int m_nDistance = 0;          // between measurement points, in micrometres
    int m_nFlashes = 0;
    int m_nPoints = 0;

    BOOL OnSetActive() override;

protected:
    void DoDataExchange(framework::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnCommand(int id, framework::Notification what) override;

private:
    void OnNormal();
    void OnAccuracy();
    void OnCenter();
    void OnCustom();
    // A preset action: take the controls over, set the values, write them back.
    void ApplyPreset(int distance, int flashes, int points);
    void RunActionFor(int mode);
    void EnableValueBoxes(bool enable);
    // Puts what OnInitDialog read into the sheet's description.
    void DescribeMeasurement(const engine::Exchange* failure, const engine::Measurement& held);
};
