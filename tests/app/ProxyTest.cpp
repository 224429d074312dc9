// The automation object and the wizard sheet: the link both ways and the application lock.

#include <gtest/gtest.h>

#include <string>

#include "app/CVeltrixInstrumentSettingsDlgAutoProxy.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Application.h"
#include "framework/RecordingHost.h"
#include "framework/WizardDriver.h"
#include "resources/Resource.h"
#include "resources/Resources.h"

namespace {

class ProxyTest : public testing::Test {
protected:
    ProxyTest() {
        resources::RegisterResources();
        application.SetMainWindow(&sheet);
    }
    ~ProxyTest() override { application.SetMainWindow(nullptr); }

    framework::RecordingHost host;
    framework::ScopedHost use{host};
    framework::Application application;
    CVeltrixInstrumentSettingsDlg sheet{IDS_SHEET_CAPTION};
};

TEST_F(ProxyTest, TheProxyLinksToTheWizardAndHoldsTheProgram) {
    auto* proxy = new CVeltrixInstrumentSettingsDlgAutoProxy;
    EXPECT_EQ(proxy->m_pDialog, &sheet);
    EXPECT_EQ(sheet.m_pAutoProxy, proxy);
    EXPECT_EQ(application.GetLockCount(), 1);
    EXPECT_STREQ(proxy->GetRuntimeClass(), "CVeltrixInstrumentSettingsDlgAutoProxy");
    EXPECT_EQ(proxy->Release(), 0);
    EXPECT_EQ(sheet.m_pAutoProxy, nullptr);
    EXPECT_EQ(application.GetLockCount(), 0);
}

TEST_F(ProxyTest, WhileTheProxyLivesClosingOnlyHidesTheWizard) {
    framework::WizardDriver w(sheet);
    ASSERT_TRUE(w.Open());
    auto* proxy = new CVeltrixInstrumentSettingsDlgAutoProxy;
    sheet.DestroyWindow();
    EXPECT_FALSE(sheet.IsWindowVisible());
    proxy->Release();
    EXPECT_EQ(sheet.m_pAutoProxy, nullptr);
}

TEST_F(ProxyTest, TheLastReleaseEndsAProgramStartedForAutomation) {
    application.SetUserControl(false);
    framework::WizardDriver w(sheet);
    ASSERT_TRUE(w.Open());
    auto* proxy = new CVeltrixInstrumentSettingsDlgAutoProxy;
    proxy->Release();
    // The wizard went the way its window goes: destroyed, and a modal run would end.
    EXPECT_FALSE(sheet.IsCreated());
    EXPECT_TRUE(application.IsUserControl());
}

TEST_F(ProxyTest, TheSheetGoingFirstLeavesTheProxyUnlinked) {
    framework::Application other;  // stands in as the current application
    auto sheet2 = std::make_unique<CVeltrixInstrumentSettingsDlg>(IDS_SHEET_CAPTION);
    other.SetMainWindow(sheet2.get());
    auto* proxy = new CVeltrixInstrumentSettingsDlgAutoProxy;
    EXPECT_EQ(proxy->m_pDialog, sheet2.get());
    other.SetMainWindow(nullptr);
    sheet2.reset();
    EXPECT_EQ(proxy->m_pDialog, nullptr);
    EXPECT_EQ(proxy->Release(), 0);
    EXPECT_EQ(other.GetLockCount(), 0);
}

TEST_F(ProxyTest, WithoutAWizardTheProxyStillHoldsTheProgram) {
    application.SetMainWindow(nullptr);
    auto* proxy = new CVeltrixInstrumentSettingsDlgAutoProxy;
    EXPECT_EQ(proxy->m_pDialog, nullptr);
    EXPECT_EQ(application.GetLockCount(), 1);
    proxy->Release();
    EXPECT_EQ(application.GetLockCount(), 0);
}

TEST_F(ProxyTest, ASecondProxyDoesNotTakeTheLinkOfTheFirst) {
    auto* first = new CVeltrixInstrumentSettingsDlgAutoProxy;
    auto* second = new CVeltrixInstrumentSettingsDlgAutoProxy;
    EXPECT_EQ(sheet.m_pAutoProxy, first);
    EXPECT_EQ(second->m_pDialog, nullptr);
    second->Release();
    EXPECT_EQ(sheet.m_pAutoProxy, first);
    first->Release();
    EXPECT_EQ(sheet.m_pAutoProxy, nullptr);
    EXPECT_EQ(application.GetLockCount(), 0);
}

TEST_F(ProxyTest, TheFactoryMakesOneObjectPerProgram) {
    framework::ObjectFactory& factory = CVeltrixInstrumentSettingsDlgAutoProxy::factory;
    EXPECT_EQ(factory.GetClassId(), "{6A1E0D42-9C37-4B58-A2F1-3D84C95E7B20}");
    EXPECT_EQ(factory.GetProgId(), "VeltrixInstrumentSettings.Application");
    EXPECT_TRUE(factory.IsMultipleInstance());
    ASSERT_TRUE(factory.Register());
    framework::CommandTarget* object = factory.CreateObject();
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(sheet.m_pAutoProxy, dynamic_cast<engine::AutoProxyLink*>(object));
    EXPECT_FALSE(factory.IsRegistered());
    EXPECT_EQ(factory.CreateObject(), nullptr);
    object->Release();
}

}  // namespace
