// "Load profile..." and "Save profile..." in the Qt window: the buttons beside the wizard
// buttons, the platform's file dialog, and what the steps show after a load.

#include <gtest/gtest.h>

#include <QPushButton>
#include <QRadioButton>
#include <fstream>
#include <iterator>
#include <memory>

#include "device/PortSource.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/Ids.h"
#include "framework/qt/QtHost.h"
#include "profile/WindowProfiles.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "sim/PtyServer.h"
#include "tests/testkit/GuiTest.h"

namespace {

using testkit_test::BoxAnswerer;
using testkit_test::FileDialogAnswerer;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

QPushButton& Button(framework::qt::WizardWindow& window, int id) {
    auto* button = qobject_cast<QPushButton*>(window.WidgetFor(id));
    if (button == nullptr) throw std::runtime_error("no button " + std::to_string(id));
    return *button;
}

TEST(ProfilesOnScreen, TheButtonsLoadAndSaveThroughTheFileDialog) {
    resources::RegisterResources();
    std::string error;
    const std::unique_ptr<sim::PtyServer> simulator =
        sim::PtyServer::Start(sim::ServerConfig{}, error);
    ASSERT_NE(simulator, nullptr) << error;
    device::SetExtraPorts({simulator->SlavePath()});
    const std::string loaded = testing::TempDir() + "on-screen.json";
    std::ofstream(loaded) << R"({"format": 1, "mode": "morvane", "baud": 4800})";
    const std::string saved = testing::TempDir() + "on-screen-saved.json";

    framework::qt::QtHost host;
    framework::ScopedHost use(host);
    BoxAnswerer boxes;
    FileDialogAnswerer files;
    {
        // A sheet that nobody gives profiles shows no profile buttons.
        CVeltrixInstrumentSettingsDlg plain(IDS_SHEET_CAPTION);
        plain.Create();
        EXPECT_FALSE(plain.IsControlVisible(IDC_LOAD_PROFILE));
        EXPECT_FALSE(plain.IsControlVisible(IDC_SAVE_PROFILE));
    }
    CVeltrixInstrumentSettingsDlg sheet(IDS_SHEET_CAPTION);
    sheet.m_pProfileButtons = std::make_unique<profile::WindowProfiles>(sheet);
    sheet.Create();
    framework::qt::WizardWindow* window = host.WindowOf(sheet);
    ASSERT_NE(window, nullptr);
    window->Present();
    testkit_test::ProcessEvents();
    EXPECT_TRUE(Button(*window, IDC_LOAD_PROFILE).isVisible());
    EXPECT_EQ(Button(*window, IDC_SAVE_PROFILE).text(), "Save profile...");

    files.Answer(loaded);
    testkit_test::MouseClick(Button(*window, IDC_LOAD_PROFILE));
    testkit_test::ProcessEvents();
    ASSERT_EQ(files.Seen().size(), 1u) << ::testing::PrintToString(boxes.Texts());
    EXPECT_EQ(files.Seen()[0], std::make_pair(std::string("Load profile"), false));
    EXPECT_EQ(window->BusyText().toStdString(), "Profile loaded; each step shows its choices");

    // Step 2 shows the profile's choices once it has read the instrument.
    Button(*window, framework::ID_WIZNEXT).click();
    ASSERT_EQ(sheet.GetActiveIndex(), 1);
    EXPECT_TRUE(qobject_cast<QRadioButton*>(window->WidgetFor(IDC_MODE_MORVANE))->isChecked());

    files.Answer(saved);
    testkit_test::MouseClick(Button(*window, IDC_SAVE_PROFILE));
    testkit_test::ProcessEvents();
    ASSERT_EQ(files.Seen().size(), 2u);
    EXPECT_TRUE(files.Seen()[1].second);
    EXPECT_EQ(ReadText(saved), R"({
  "format": 1,
  "mode": "morvane",
  "baud": 4800
}
)");
    EXPECT_TRUE(boxes.Boxes().empty()) << ::testing::PrintToString(boxes.Texts());
    sheet.DestroyWindow();
    device::SetExtraPorts({});
}

}  // namespace
