// While "Find any" searches, the window tells which port and rate it is trying, and then what
// it found.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTimer>
#include <memory>
#include <set>

#include "device/LineTrace.h"
#include "device/LineWatch.h"
#include "device/PortSource.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/Ids.h"
#include "framework/qt/QtHost.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "sim/PtyServer.h"
#include "tests/testkit/GuiTest.h"

namespace {

TEST(FindAnyTest, TheWindowShowsEachPortAndRateWhileItSearches) {
    resources::RegisterResources();
    sim::ServerConfig config;
    config.state.baud = 19200;  // not the rate the wizard starts with
    std::string error;
    const std::unique_ptr<sim::PtyServer> simulator = sim::PtyServer::Start(config, error);
    ASSERT_NE(simulator, nullptr) << error;
    // The simulator alone: the busy line shows the port written to last, and the machine's own
    // ports are searched at the same time.
    struct OnlyTheSimulator : device::PortSource {
        std::string path;
        std::unique_ptr<device::PortMap> Open() override {
            return std::make_unique<device::ListPortMap>(
                std::vector<device::PortValue>{{path, "COM1"}});
        }
    } ports;
    ports.path = simulator->SlavePath();
    device::ScopedPortSource useOnly(ports);

    framework::qt::QtHost host;
    framework::ScopedHost use(host);
    testkit_test::BoxAnswerer boxes;
    std::set<std::string> seen;
    {
        CVeltrixInstrumentSettingsDlg sheet(IDS_SHEET_CAPTION);
        device::LineTrace noTrace;
        auto showBusy = [&](const std::string& text) { host.ShowBusyText(text); };
        device::LineWatch watch(noTrace, showBusy);
        watch.Attach(sheet.GetDevice());
        sheet.m_searchWatch.show = showBusy;
        sheet.Create();
        framework::qt::WizardWindow* window = host.WindowOf(sheet);
        ASSERT_NE(window, nullptr);
        window->Present();

        // The window repaints during the search, and so this timer gets its turns too.
        QTimer look;
        QObject::connect(&look, &QTimer::timeout, [&] {
            if (!window->BusyText().isEmpty()) seen.insert(window->BusyText().toStdString());
        });
        look.start(1);
        qobject_cast<QPushButton*>(window->WidgetFor(IDC_FIND_ANY))->click();
        look.stop();

        // The combination that answered is what the boxes show now.
        EXPECT_EQ(qobject_cast<QComboBox*>(window->WidgetFor(IDC_BAUDRATE))->currentText(),
                  "19200");
        // In place of the wait: what was found; and Enter now goes on to the next step.
        EXPECT_EQ(window->BusyText().toStdString(),
                  "Found Veltrix (+VT) on " + simulator->SlavePath() + "  ( COM1 ) at 19200 baud");
        EXPECT_EQ(sheet.GetFocusId(), framework::ID_WIZNEXT);
        EXPECT_EQ(window->focusWidget(), window->WidgetFor(framework::ID_WIZNEXT));
        watch.Detach();
    }
    EXPECT_TRUE(boxes.Boxes().empty());
    const std::string port = "Waiting on " + simulator->SlavePath() + "  ( COM1 ) at ";
    for (const char* rate :
         {"9600 baud, 8N1", "9600 baud, 7E2", "38400 baud, 8N1", "19200 baud, 8N1"})
        EXPECT_TRUE(seen.count(port + rate)) << rate;
}

}  // namespace
