#pragma once

// The platform side of the automation factories on Linux: the D-Bus session bus (names and
// paths in AutomationNames.h). Registering a factory as running owns its bus name and exports
// its factory object; a client's CreateObject makes one object through the factory and
// exports it; the client's Release, or its leaving the bus, lets the object go. Updating the
// registration writes the activation file.
// Letting go of an object may end the wizard, so it waits until the program is idle (not
// inside a page's work, a wait on the line or a message box).
//   app::AutomationServer server(bus, "/usr/bin/veltrix-instrument-settings", isBusy);
//   framework::SetObjectRegistry(&server);
//   framework::ObjectFactory::RegisterAll();

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServiceWatcher>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/ObjectFactory.h"

namespace app {

class AutomationServer final : public framework::ObjectRegistry {
public:
    // bus: the session bus, or none for a start that only keeps the activation file up to
    // date. executable: the program the activation file starts. isBusy: whether the program
    // is in the middle of something that must not be torn down.
    AutomationServer(std::optional<QDBusConnection> bus, std::string executable,
                     std::function<bool()> isBusy);
    // Objects still held are let go of here.
    ~AutomationServer() override;
    AutomationServer(const AutomationServer&) = delete;
    AutomationServer& operator=(const AutomationServer&) = delete;

    bool RegisterRunning(framework::ObjectFactory& factory) override;
    void RevokeRunning(framework::ObjectFactory& factory) override;
    bool UpdateRegistration(framework::ObjectFactory& factory) override;

    // The calls of the exported objects.
    QDBusObjectPath CreateObject(framework::ObjectFactory& factory, const QDBusMessage& call);
    void ReleaseObject(const QDBusMessage& call);

    // Objects that clients hold, and objects let go of but not yet released.
    int HeldObjectCount() const { return static_cast<int>(m_objects.size()); }
    int PendingReleaseCount() const { return static_cast<int>(m_pending.size()); }

private:
    struct Served {
        framework::ObjectFactory* factory;
        std::unique_ptr<QObject> object;
    };
    struct Held {
        QString path;
        QString client;
        framework::CommandTarget* target;
        std::unique_ptr<QObject> object;
    };

    void Drop(std::size_t index);
    void ClientLeft(const QString& client);
    void ReleasePending();
    void Fail(const QDBusMessage& call, const QString& name, const QString& text);

    std::optional<QDBusConnection> m_bus;
    std::string m_executable;
    std::function<bool()> m_isBusy;
    std::vector<Served> m_served;
    std::vector<Held> m_objects;
    std::vector<framework::CommandTarget*> m_pending;
    // Exported objects taken off the bus, deleted on the next turn of the event loop.
    std::vector<std::unique_ptr<QObject>> m_retired;
    int m_nextObject = 1;
    QDBusServiceWatcher m_watcher;
    QTimer m_releaseTimer;
};

}  // namespace app
