#include "app/InstrumentSettingsApp.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "app/WizardRun.h"
#include "app/linux/AutomationServer.h"
#include "app/linux/ServiceFile.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Host.h"
#include "framework/ObjectFactory.h"
#include "framework/Resources.h"
#include "framework/qt/QtHost.h"
#include "resources/Resource.h"

namespace {

// The connection of this program's automation server, its own so that it can be closed when
// the wizard ends.
const char kBusConnection[] = "veltrix-automation";

// Makes a registry the one in force, and at the end takes every factory off it first.
class RegistryInForce {
public:
    explicit RegistryInForce(framework::ObjectRegistry& registry) {
        framework::SetObjectRegistry(&registry);
    }
    ~RegistryInForce() {
        framework::ObjectFactory::RevokeAll();
        framework::SetObjectRegistry(nullptr);
    }
    RegistryInForce(const RegistryInForce&) = delete;
    RegistryInForce& operator=(const RegistryInForce&) = delete;
};

// The session bus for the automation server; closed again when it goes.
class BusConnection {
public:
    BusConnection()
        : m_connection(QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                                     QString::fromLatin1(kBusConnection))) {}
    ~BusConnection() { QDBusConnection::disconnectFromBus(QString::fromLatin1(kBusConnection)); }
    BusConnection(const BusConnection&) = delete;
    BusConnection& operator=(const BusConnection&) = delete;

    const QDBusConnection& Get() const { return m_connection; }

private:
    QDBusConnection m_connection;
};

}  // namespace

InstrumentSettingsApp::InstrumentSettingsApp() = default;

BOOL InstrumentSettingsApp::InitInstance() {
    // Registering or unregistering only: the activation file, without the wizard.
    const bool unregister = HasOption("UnregServer");
    if (unregister || HasOption("RegServer")) {
        std::string error;
        const bool ok = unregister
                            ? app::RemoveServiceFile(app::ServiceFilePath(), error)
                            : app::UpdateServiceFile(
                                  app::ServiceFilePath(), app::SystemServiceFolders(),
                                  QCoreApplication::applicationFilePath().toStdString(), error);
        if (!ok) std::fprintf(stderr, "%s\n", error.c_str());
        m_exitCode = ok ? 0 : 1;
        return FALSE;
    }

    // The object runtime: the session bus, where automation is asked for.
    const bool automation = IsStartedForAutomation();
    std::optional<BusConnection> bus;
    if (automation) {
        bus.emplace();
        if (!bus->Get().isConnected()) {
            framework::MessageBox(framework::LoadString(IDS_OLE_INIT_FAILED));
            return FALSE;
        }
    }
    std::optional<QDBusConnection> connection;
    if (bus) connection = bus->Get();
    framework::qt::QtHost* host = m_host;
    app::AutomationServer server(
        connection, QCoreApplication::applicationFilePath().toStdString(),
        [host] { return host != nullptr && host->GetActivity().IsBusy(); });
    RegistryInForce registry(server);

    // Offer the factory to clients, or keep the activation file up to date.
    if (automation) {
        framework::ObjectFactory::RegisterAll();
    } else {
        framework::ObjectFactory::UpdateRegistryAll();
    }

    app::RunWizard(*this,
                   {.trace = m_trace,
                    .showBusy =
                        [host](const std::string& text) {
                            if (host != nullptr) host->ShowBusyText(text);
                        },
                    .profileFile = m_profileFile,
                    .beforeRun = m_sheetHook,
                    .afterRun =
                        [host](CVeltrixInstrumentSettingsDlg& sheet) {
                            // A client still holds the automation object: the window
                            // is hidden, and the program serves the client until it
                            // lets go or leaves the bus.
                            if (host != nullptr && sheet.m_pAutoProxy != nullptr) {
                                host->WaitUntil([&sheet] { return sheet.m_pAutoProxy == nullptr; });
                            }
                        }});
    return FALSE;
}
