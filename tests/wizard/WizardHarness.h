#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "framework/WizardDriver.h"
#include "tests/testkit/ScriptedDevice.h"
#include "tests/testkit/ScriptedInstrument.h"
#include "tests/testkit/VirtualTime.h"
#include "wizard/ConnectPage.h"
#include "wizard/FilterSlidePage.h"
#include "wizard/InstrumentModePage.h"
#include "wizard/MeasurementModePage.h"
#include "wizard/PlateMovementPage.h"

namespace wizard_test {

// A real wizard sheet on a scripted device with an instrument behind it, on virtual time, with
// a recording host that answers every box. Tests drive it through `w` like a user. The
// instrument is in a plain state (a four-position slide, Normal mode, firmware 3.10) and
// listens on port 1 at 9600 baud in its type's line format.
class WizardHarness {
public:
    // code: the instrument's mode; firstPage: the step the sheet opens on.
    explicit WizardHarness(std::string code = "+VT", int firstPage = 0);
    ~WizardHarness();

    // Opens the wizard; ports (labels, port 1 first) are set before step 1 reads them.
    void Open(std::vector<std::string> ports = {"/dev/ttyUSB0  ( COM1 )", "/dev/ttyUSB1  ( COM2 )",
                                                "/dev/ttyUSB2  ( COM3 )"});
    // Opens the wizard and presses Next until the 0-based step is active; false when a step
    // refused to be left.
    bool OpenAt(int step);

    std::vector<std::string> Boxes() const { return host.BoxTexts(); }
    // The integer shown in an edit box of the active step.
    int Number(int id) const;
    // Moves the instrument to another port and baud rate; its line format stays.
    void ListenAt(int port, int baudRate);

    testkit_test::VirtualTime time;
    framework::RecordingHost host;
    testkit_test::ScriptedInstrument instrument;
    testkit_test::ScriptedDevice* device = nullptr;  // owned by the sheet

private:
    framework::ScopedHost m_useHost{host};
    bool m_registered;

public:
    CVeltrixInstrumentSettingsDlg sheet;
    framework::WizardDriver w{sheet};
};

}  // namespace wizard_test
