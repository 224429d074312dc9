#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "device/ComPortDevice.h"
#include "framework/Ids.h"
#include "framework/WizardDriver.h"
#include "resources/Resource.h"
#include "resources/Resources.h"
#include "tests/engine/SheetFixture.h"
#include "wizard/ConnectPage.h"
#include "wizard/FilterSlidePage.h"
#include "wizard/InstrumentModePage.h"
#include "wizard/MeasurementModePage.h"
#include "wizard/PlateMovementPage.h"

namespace engine_test {
namespace {

using ::testing::ElementsAre;

// Stands in for the automation proxy: notes when the sheet lets go of it.
class FakeProxy : public engine::AutoProxyLink {
public:
    explicit FakeProxy(std::function<void()> onClear) : m_onClear(std::move(onClear)) {}
    void ClearDialogLink() override { m_onClear(); }

private:
    std::function<void()> m_onClear;
};

// Notes its own destruction.
class NotingDevice : public testkit_test::ScriptedDevice {
public:
    NotingDevice(support::VirtualClock& clock, std::function<void()> onDelete)
        : ScriptedDevice(clock), m_onDelete(std::move(onDelete)) {}
    ~NotingDevice() override { m_onDelete(); }

private:
    std::function<void()> m_onDelete;
};

TEST_F(SheetFixture, ConstructionMakesTheFivePagesInStepOrderAndTheDevice) {
    EXPECT_EQ(sheet->GetPageCount(), 5);
    EXPECT_EQ(sheet->GetPage(0), sheet->m_pConnectPage);
    EXPECT_EQ(sheet->GetPage(1), sheet->m_pInstrumentModePage);
    EXPECT_EQ(sheet->GetPage(2), sheet->m_pFilterSlidePage);
    EXPECT_EQ(sheet->GetPage(3), sheet->m_pMeasurementModePage);
    EXPECT_EQ(sheet->GetPage(4), sheet->m_pPlateMovementPage);
    EXPECT_EQ(sheet->GetDevice(), port);
    EXPECT_FALSE(port->IsOpen());
    EXPECT_TRUE(sheet->IsWizardMode());
    EXPECT_EQ(sheet->GetFlags() & framework::PSH_HASHELP, 0u);
    EXPECT_EQ(sheet->m_hIcon, framework::LoadIcon(IDR_MAINFRAME));
    EXPECT_EQ(sheet->m_pAutoProxy, nullptr);
    EXPECT_EQ(sheet->GetInstrumentType(), "");
    EXPECT_EQ(sheet->GetCaptionId(), IDS_SHEET_CAPTION);
}

TEST(SheetIcon, TheIconIsResource128) {
    framework::RegisterIcon(IDR_MAINFRAME, "<svg xmlns='http://www.w3.org/2000/svg'/>");
    CVeltrixInstrumentSettingsDlg sheet(IDS_SHEET_CAPTION);
    EXPECT_NE(sheet.m_hIcon, 0);
    EXPECT_EQ(sheet.m_hIcon, framework::LoadIcon(IDR_MAINFRAME));
    EXPECT_EQ(sheet.OnQueryDragIcon(), sheet.m_hIcon);
}

TEST(SheetDevice, WithoutAFactoryTheDeviceIsTheSerialPort) {
    CVeltrixInstrumentSettingsDlg plain(IDS_SHEET_CAPTION);
    EXPECT_NE(dynamic_cast<ComPortDevice*>(plain.GetDevice()), nullptr);
    CVeltrixInstrumentSettingsDlg emptyFactory(IDS_SHEET_CAPTION, nullptr, 0,
                                               [] { return std::unique_ptr<SerialDevice>(); });
    EXPECT_NE(dynamic_cast<ComPortDevice*>(emptyFactory.GetDevice()), nullptr);
}

TEST(SheetDestruction, PagesGoFirstThenTheProxyLinkThenTheDevice) {
    testkit_test::VirtualTime time;
    std::vector<std::string> events;
    auto sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(
        IDS_SHEET_CAPTION, nullptr, 0, [&]() -> std::unique_ptr<SerialDevice> {
            return std::make_unique<NotingDevice>(time.clock, [&] { events.push_back("device"); });
        });
    CVeltrixInstrumentSettingsDlg* raw = sheet.get();
    FakeProxy proxy([&] {
        events.push_back("proxy, pages left " + std::to_string(raw->GetPageCount()) +
                         (raw->GetDevice() != nullptr ? ", device alive" : ""));
    });
    sheet->m_pAutoProxy = &proxy;
    sheet.reset();
    EXPECT_THAT(events, ElementsAre("proxy, pages left 0, device alive", "device"));
}

TEST(SheetDestruction, AnOpenWindowIsClosedWithoutActivatingOtherPages) {
    testkit_test::VirtualTime time;
    framework::RecordingHost host;
    framework::ScopedHost use(host);
    resources::RegisterResources();
    auto sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(
        IDS_SHEET_CAPTION, nullptr, 0,
        [&] { return std::make_unique<testkit_test::ScriptedDevice>(time.clock); });
    framework::WizardDriver wizard(*sheet);
    ASSERT_TRUE(wizard.Open());
    sheet.reset();
    EXPECT_TRUE(host.BoxTexts().empty());
}

class SheetWindowTest : public SheetFixture {
protected:
    const framework::Control& Button(int id) const { return *sheet->GetControl(id); }
    void ExpectButtons(bool backEnabled, bool nextShown, bool finishShown) const {
        EXPECT_EQ(Button(framework::ID_WIZBACK).IsEnabled(), backEnabled);
        EXPECT_EQ(Button(framework::ID_WIZNEXT).IsVisible(), nextShown);
        EXPECT_EQ(Button(framework::ID_WIZFINISH).IsVisible(), finishShown);
    }
};

TEST_F(SheetWindowTest, OpeningSetsBothIconsAndTheFirstPagesButtons) {
    framework::WizardDriver wizard(*sheet);
    ASSERT_TRUE(wizard.Open());
    EXPECT_EQ(sheet->GetIcon(true), sheet->m_hIcon);
    EXPECT_EQ(sheet->GetIcon(false), sheet->m_hIcon);
    EXPECT_EQ(sheet->OnQueryDragIcon(), sheet->m_hIcon);
    ExpectButtons(false, true, false);
}

TEST_F(SheetWindowTest, ButtonsFollowThePagePosition) {
    framework::WizardDriver wizard(*sheet);
    ASSERT_TRUE(wizard.Open());
    sheet->UpdateWizardButtons(sheet->m_pFilterSlidePage);
    ExpectButtons(true, true, false);
    sheet->UpdateWizardButtons(sheet->m_pPlateMovementPage);
    ExpectButtons(true, false, true);
    sheet->UpdateWizardButtons(sheet->m_pConnectPage);
    ExpectButtons(false, true, false);
}

TEST_F(SheetWindowTest, ButtonsAreLeftAloneBeforeTheWindowExists) {
    sheet->UpdateWizardButtons(sheet->m_pPlateMovementPage);
    EXPECT_EQ(sheet->GetControl(framework::ID_WIZFINISH), nullptr);
}

TEST_F(SheetWindowTest, WithoutAProxyTheWizardMayExit) {
    framework::WizardDriver wizard(*sheet);
    ASSERT_TRUE(wizard.Open());
    EXPECT_EQ(sheet->CanExit(), TRUE);
    EXPECT_TRUE(sheet->IsWindowVisible());
}

TEST_F(SheetWindowTest, WhileAProxyIsAttachedClosingOnlyHidesTheWindow) {
    int cleared = 0;
    FakeProxy proxy([&] { ++cleared; });
    framework::WizardDriver wizard(*sheet);
    ASSERT_TRUE(wizard.Open());
    ASSERT_TRUE(port->InitSerial(1));
    sheet->m_pAutoProxy = &proxy;
    EXPECT_EQ(sheet->CanExit(), FALSE);
    EXPECT_FALSE(sheet->IsWindowVisible());
    // Another program may take the port while the client holds this one.
    EXPECT_FALSE(port->IsOpen());

    sheet->ShowWindow(true);
    sheet->DestroyWindow();
    EXPECT_FALSE(sheet->IsWindowVisible());
    sheet.reset();
    EXPECT_EQ(cleared, 1);
}

}  // namespace
}  // namespace engine_test
