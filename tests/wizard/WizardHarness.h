#pragma once

#include <deque>
#include <memory>
#include <string>
#include <utility>
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

    // A port of Find any's search: its device (made by the sheet and gone with the search)
    // runs on a clock of its own before a copy of the instrument as it was when the search
    // began; the type queries it heard stay here.
    struct SearchLine {
        explicit SearchLine(const testkit_test::ScriptedInstrument& copy) : instrument(copy) {}
        support::VirtualClock clock;
        testkit_test::ScriptedInstrument instrument;
        std::vector<std::pair<int, testkit_test::LineSettings>> typeQueries;  // port, line
    };
    // The (port, baud) of every attempt of the search, port by port: each asks first at 8N1.
    std::vector<std::pair<int, int>> SearchAttempts() const;

    testkit_test::VirtualTime time;
    framework::RecordingHost host;
    testkit_test::ScriptedInstrument instrument;
    testkit_test::ScriptedDevice* device = nullptr;  // owned by the sheet
    std::deque<SearchLine> searchLines;

private:
    std::unique_ptr<SerialDevice> MakeDevice();

    framework::ScopedHost m_useHost{host};
    bool m_registered;

public:
    CVeltrixInstrumentSettingsDlg sheet;
    framework::WizardDriver w{sheet};
};

}  // namespace wizard_test
