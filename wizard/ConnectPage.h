#pragma once

// Step 1: choose a port and a baud rate (or search them all), open the port and identify the
// instrument. The wizard leaves this step only with one of the four known type codes stored.

#include <optional>
#include <string>

#include "framework/DataExchange.h"
#include "wizard/PortSearch.h"
#include "wizard/WizardPage.h"

class ConnectPage : public WizardPage {
public:
    ConnectPage();

    // Opens port portNumber at baudRate (8N1, then 7E2 when the first answer is no known
    // code) and stores the identified type in the sheet. TRUE when a known instrument answered.
    virtual BOOL ConnectInstrument(int portNumber, int baudRate);

    std::string m_strBaudRate;  // text of the selected baud item
    int m_nPort = -1;           // index of the selected port item; the port number is one more

    BOOL OnKillActive() override;

protected:
    void DoDataExchange(framework::DataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnCommand(int id, framework::Notification what) override;

private:
    // Tries the held selection, then searches every port at every rate, all ports at once,
    // until an instrument answers or the user stops it; says what was found, or that nothing
    // answered.
    void OnFindAny();
    // The search through every port; stopped tells whether the user stopped it.
    std::optional<wizard::PortFound> SearchEveryPort(bool& stopped);
    // Opens the port that a search found on the sheet's own device.
    BOOL TakeOverPort(const wizard::PortFound& found);
    // The sheet stores the code, and the device reads replies in the code's framing.
    void StoreConnection(const std::string& code);
    void ShowConnectFailure();
    void ReportFound();

    // Whether the last ConnectInstrument got the port open.
    bool m_bPortOpened = false;
};
