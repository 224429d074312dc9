// The automation object over a real session bus (run under dbus-run-session): a client makes
// the object while the wizard runs, closing the wizard then only hides it, and letting go of
// the object ends the program.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTimer>
#include <functional>

#include "app/AutomationNames.h"
#include "app/InstrumentSettingsApp.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/qt/QtHost.h"
#include "resources/Resources.h"
#include "tests/testkit/GuiTest.h"

namespace {

using testkit_test::PressKey;
using testkit_test::WaitFor;

// A client of its own on the session bus, gone with the object.
class Client {
public:
    Client()
        : m_name(QStringLiteral("client-%1").arg(++s_count)),
          m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name)) {}
    ~Client() { Leave(); }
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    QDBusConnection& Bus() { return m_bus; }
    // The connection closes once no object refers to it any more, this one included.
    void Leave() {
        m_bus = QDBusConnection(QString());
        QDBusConnection::disconnectFromBus(m_name);
    }

    // A call answered while this thread keeps running the program's event loop.
    QDBusMessage Call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& arguments = {}) {
        QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
        message.setArguments(arguments);
        QDBusPendingCall pending = m_bus.asyncCall(message, 5000);
        WaitFor([&] { return pending.isFinished(); }, 6000);
        return pending.reply();
    }
    QDBusMessage CreateObject(const QString& service = app::kBusName) {
        return Call(service, app::kFactoryPath, app::kFactoryInterface, "CreateObject");
    }
    QString Introspect(const QString& service, const QString& path) {
        const QDBusMessage reply =
            Call(service, path, "org.freedesktop.DBus.Introspectable", "Introspect");
        return reply.arguments().value(0).toString();
    }
    bool NameOwned() { return m_bus.interface()->isServiceRegistered(app::kBusName); }

private:
    static inline int s_count = 0;
    QString m_name;
    QDBusConnection m_bus;
};

QString PathOf(const QDBusMessage& reply) {
    return qdbus_cast<QDBusObjectPath>(reply.arguments().value(0)).path();
}

class AutomationTest : public testing::Test {
protected:
    AutomationTest() {
        resources::RegisterResources();
        application.SetHost(&host);
    }

    // Runs the program as an automation client's bus would start it; the scenario runs in the
    // wizard's modal run.
    void RunForAutomation(std::function<void(CVeltrixInstrumentSettingsDlg&)> scenario) {
        application.SetSheetHook([&](CVeltrixInstrumentSettingsDlg& sheet) {
            QTimer::singleShot(0, [&] {
                scenario(sheet);
                scenarioRan = true;
            });
        });
        std::string name = "veltrix-instrument-settings";
        std::string option = "-Automation";
        char* argv[] = {name.data(), option.data()};
        application.Main(2, argv);
        mainReturned = true;
    }
    // Presses Esc in the wizard's window, as the user would to cancel.
    void Cancel(CVeltrixInstrumentSettingsDlg& sheet) {
        framework::qt::WizardWindow* window = host.WindowOf(sheet);
        ASSERT_NE(window, nullptr);
        PressKey(*window, Qt::Key_Escape);
    }
    static bool AnyWizardWindowShown() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == "wizardWindow" && w->isVisible()) return true;
        }
        return false;
    }

    framework::qt::QtHost host;
    framework::ScopedHost use{host};
    InstrumentSettingsApp application;
    bool scenarioRan = false;
    bool mainReturned = false;
};

TEST_F(AutomationTest, StartedForAutomationTheFactoryIsOfferedAndTheWizardStillOpens) {
    Client client;
    RunForAutomation([&](CVeltrixInstrumentSettingsDlg& sheet) {
        EXPECT_TRUE(sheet.IsWindowVisible());
        EXPECT_TRUE(AnyWizardWindowShown());
        EXPECT_TRUE(client.NameOwned());
        const QString xml = client.Introspect(app::kBusName, app::kFactoryPath);
        EXPECT_TRUE(xml.contains("VeltrixInstrumentSettings.ClassFactory")) << xml.toStdString();
        EXPECT_TRUE(xml.contains("CreateObject"));
        const QDBusMessage classId =
            client.Call(app::kBusName, app::kFactoryPath, "org.freedesktop.DBus.Properties", "Get",
                        {QString(app::kFactoryInterface), QStringLiteral("ClassId")});
        EXPECT_EQ(qdbus_cast<QDBusVariant>(classId.arguments().value(0)).variant().toString(),
                  "{6A1E0D42-9C37-4B58-A2F1-3D84C95E7B20}");
        Cancel(sheet);
    });
    EXPECT_TRUE(scenarioRan);
    EXPECT_FALSE(application.IsUserControl());
    // The program has ended and the name is free again.
    EXPECT_TRUE(WaitFor([&] { return !client.NameOwned(); }, 3000));
}

TEST_F(AutomationTest, WhileAClientHoldsTheObjectClosingHidesTheWizardUntilItLetsGo) {
    Client client;
    QString path;
    bool checkedWhileHidden = false;
    RunForAutomation([&](CVeltrixInstrumentSettingsDlg& sheet) {
        const QDBusMessage reply = client.CreateObject();
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
        path = PathOf(reply);
        EXPECT_EQ(path, "/VeltrixInstrumentSettings/Objects/1");
        EXPECT_NE(sheet.m_pAutoProxy, nullptr);
        EXPECT_EQ(application.GetLockCount(), 1);

        // The object shows the automation interface, empty, and its Release.
        const QString unique = reply.service();
        const QString xml = client.Introspect(unique, path);
        EXPECT_TRUE(xml.contains(QStringLiteral("<interface name=\"") + app::kAutomationInterface))
            << xml.toStdString();
        EXPECT_TRUE(xml.contains(QStringLiteral("<interface name=\"") + app::kObjectInterface));
        EXPECT_TRUE(xml.contains("Release"));
        // One object per program: the name is given up, so the bus would start another.
        EXPECT_FALSE(client.NameOwned());
        EXPECT_EQ(client.CreateObject().type(), QDBusMessage::ErrorMessage);
        EXPECT_EQ(client.CreateObject(unique).type(), QDBusMessage::ErrorMessage);

        Cancel(sheet);
        // Once the modal run is over the window is hidden and the program waits for the client.
        QTimer::singleShot(50, [&, unique] {
            EXPECT_TRUE(sheet.IsEnded());
            EXPECT_FALSE(sheet.IsWindowVisible());
            EXPECT_FALSE(AnyWizardWindowShown());
            EXPECT_FALSE(mainReturned);
            EXPECT_NE(sheet.m_pAutoProxy, nullptr);
            checkedWhileHidden = true;
            client.Call(unique, path, app::kObjectInterface, "Release");
        });
    });
    EXPECT_TRUE(checkedWhileHidden);
    EXPECT_EQ(application.GetLockCount(), 0);
}

TEST_F(AutomationTest, LettingGoWhileTheWizardIsOpenEndsTheProgram) {
    Client client;
    bool closedByRelease = false;
    RunForAutomation([&](CVeltrixInstrumentSettingsDlg& sheet) {
        const QDBusMessage reply = client.CreateObject();
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
        client.Call(reply.service(), PathOf(reply), app::kObjectInterface, "Release");
        closedByRelease = WaitFor([&] { return sheet.IsEnded(); }, 3000);
        EXPECT_EQ(sheet.GetResult(), framework::IDCANCEL);
    });
    EXPECT_TRUE(closedByRelease);
    EXPECT_TRUE(application.IsUserControl());
    EXPECT_EQ(application.GetLockCount(), 0);
}

TEST_F(AutomationTest, AClientLeavingTheBusLetsGoOfItsObject) {
    bool closed = false;
    RunForAutomation([&](CVeltrixInstrumentSettingsDlg& sheet) {
        Client client;
        ASSERT_EQ(client.CreateObject().type(), QDBusMessage::ReplyMessage);
        EXPECT_NE(sheet.m_pAutoProxy, nullptr);
        client.Leave();
        closed = WaitFor([&] { return sheet.IsEnded(); }, 3000);
    });
    EXPECT_TRUE(closed);
    EXPECT_EQ(application.GetLockCount(), 0);
}

TEST_F(AutomationTest, OnlyTheClientThatMadeTheObjectCanReleaseIt) {
    Client maker;
    Client other;
    RunForAutomation([&](CVeltrixInstrumentSettingsDlg& sheet) {
        const QDBusMessage reply = maker.CreateObject();
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
        const QDBusMessage refused =
            other.Call(reply.service(), PathOf(reply), app::kObjectInterface, "Release");
        EXPECT_EQ(refused.type(), QDBusMessage::ErrorMessage);
        EXPECT_EQ(refused.errorName(), "org.freedesktop.DBus.Error.AccessDenied");
        WaitFor([] { return false; }, 100);
        EXPECT_NE(sheet.m_pAutoProxy, nullptr);
        EXPECT_FALSE(sheet.IsEnded());
        maker.Call(reply.service(), PathOf(reply), app::kObjectInterface, "Release");
    });
    EXPECT_EQ(application.GetLockCount(), 0);
}

}  // namespace
