#pragma once

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "tests/testkit/ScriptedDevice.h"
#include "tests/testkit/VirtualTime.h"

namespace engine_test {

// A sheet whose device is a scripted one on a virtual clock, with a recording host that keeps
// every message box. Declared in this order so that the sheet goes first.
class SheetFixture : public ::testing::Test {
protected:
    SheetFixture();

    // The instrument is connected as step 1 leaves it: type stored, terminator set.
    void Connect(const std::string& type);
    // Step 2's choice; the device's baud rate stays what step 1 found (9600 by default).
    void ChooseMode(int mode, const std::string& baudText = "9600");

    std::vector<std::string> Boxes() const { return host.BoxTexts(); }
    // Time passed on the virtual clock since the fixture was made.
    std::int64_t Elapsed() const { return time.clock.NowMs(); }

    testkit_test::VirtualTime time;
    framework::RecordingHost host;
    framework::ScopedHost useHost{host};
    testkit_test::ScriptedDevice* port = nullptr;
    std::unique_ptr<CVeltrixInstrumentSettingsDlg> sheet;
};

}  // namespace engine_test
