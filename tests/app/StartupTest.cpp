// Start-up without a session bus: the normal start keeps the activation file up to date and
// runs the wizard; a start for automation without a bus says so and ends.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/InstrumentSettingsApp.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/RecordingHost.h"
#include "framework/WizardDriver.h"
#include "resources/Resources.h"

namespace {

class StartupTest : public testing::Test {
protected:
    StartupTest() {
        resources::RegisterResources();
        host.SetModalScript([this](framework::PropertySheet& sheet) {
            caption = sheet.GetCaption();
            mainWindowDuringRun = application.GetMainWindow() == &sheet;
            framework::WizardDriver(sheet).Cancel();
        });
    }

    int Run(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "veltrix-instrument-settings");
        std::vector<char*> argv;
        for (std::string& a : arguments)
            argv.push_back(a.data());
        return application.Main(static_cast<int>(argv.size()), argv.data());
    }

    framework::RecordingHost host;
    framework::ScopedHost use{host};
    InstrumentSettingsApp application;
    std::string caption;
    bool mainWindowDuringRun = false;
};

TEST_F(StartupTest, ANormalStartRegistersTheProgramAndRunsTheWizard) {
    const std::string dataHome = testing::TempDir() + "startup-data";
    std::filesystem::remove_all(dataHome);
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    EXPECT_EQ(Run({}), 0);
    unsetenv("XDG_DATA_HOME");

    EXPECT_EQ(host.ModalRuns(), 1);
    EXPECT_EQ(caption, "Veltrix Instrument Settings V 1.05  -  Step 1 of 5");
    EXPECT_TRUE(mainWindowDuringRun);
    EXPECT_EQ(application.GetMainWindow(), nullptr);
    EXPECT_TRUE(host.BoxTexts().empty());
    std::ifstream in(dataHome + "/dbus-1/services/VeltrixInstrumentSettings.Application.service");
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "[D-BUS Service]\nName=VeltrixInstrumentSettings.Application\nExec=" +
                              QCoreApplication::applicationFilePath().toStdString() +
                              " -Automation\n");
    std::filesystem::remove_all(dataHome);
}

TEST_F(StartupTest, ARegistrationThatCannotBeWrittenDoesNotStopTheWizard) {
    setenv("XDG_DATA_HOME", "/dev/null/data", 1);
    EXPECT_EQ(Run({}), 0);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(host.ModalRuns(), 1);
    EXPECT_TRUE(host.BoxTexts().empty());
}

TEST_F(StartupTest, RegServerAndUnregServerOnlyWriteAndRemoveTheActivationFile) {
    const std::string dataHome = testing::TempDir() + "regserver-data";
    const std::string file =
        dataHome + "/dbus-1/services/VeltrixInstrumentSettings.Application.service";
    std::filesystem::remove_all(dataHome);
    setenv("XDG_DATA_HOME", dataHome.c_str(), 1);
    EXPECT_EQ(Run({"/RegServer"}), 0);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(Run({"-unregserver"}), 0);
    EXPECT_FALSE(std::filesystem::exists(file));
    setenv("XDG_DATA_HOME", "/dev/null/data", 1);
    EXPECT_EQ(Run({"/RegServer"}), 1);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(host.ModalRuns(), 0);
    EXPECT_TRUE(host.BoxTexts().empty());
    std::filesystem::remove_all(dataHome);
}

TEST_F(StartupTest, AutomationWithoutASessionBusSaysSoAndEnds) {
    // No other test of this program talks to a bus, so this address is the one used.
    setenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/veltrix-test-bus", 1);
    EXPECT_EQ(Run({"-Automation"}), 0);
    EXPECT_EQ(host.ModalRuns(), 0);
    EXPECT_EQ(host.BoxTexts(),
              (std::vector<std::string>{"OLE initialization failed.  Make sure that the OLE "
                                        "libraries are the correct version."}));
    EXPECT_FALSE(application.IsUserControl());
}

}  // namespace
