#include "app/linux/AutomationServer.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <algorithm>
#include <cstdio>

#include "app/AutomationNames.h"
#include "app/linux/DBusAdaptors.h"
#include "app/linux/ServiceFile.h"

namespace app {
namespace {

// How often objects let go of look again whether the program is idle.
constexpr int kReleaseRetryMs = 20;

QString FactoryPath(const framework::ObjectFactory& factory) {
    return "/" + QString::fromStdString(factory.GetProgId()).replace('.', '/');
}

}  // namespace

AutomationServer::AutomationServer(std::optional<QDBusConnection> bus, std::string executable,
                                   std::function<bool()> isBusy)
    : m_bus(std::move(bus)), m_executable(std::move(executable)), m_isBusy(std::move(isBusy)) {
    if (m_bus) {
        m_watcher.setConnection(*m_bus);
        m_watcher.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
        QObject::connect(&m_watcher, &QDBusServiceWatcher::serviceUnregistered, &m_watcher,
                         [this](const QString& client) { ClientLeft(client); });
    }
    m_releaseTimer.setInterval(kReleaseRetryMs);
    QObject::connect(&m_releaseTimer, &QTimer::timeout, &m_releaseTimer,
                     [this] { ReleasePending(); });
}

AutomationServer::~AutomationServer() {
    while (!m_objects.empty())
        Drop(m_objects.size() - 1);
    for (const Served& served : m_served) {
        m_bus->unregisterObject(FactoryPath(*served.factory));
        m_bus->unregisterService(QString::fromStdString(served.factory->GetProgId()));
    }
    // Nothing runs any more that the release could tear down.
    std::vector<framework::CommandTarget*> pending;
    pending.swap(m_pending);
    for (framework::CommandTarget* target : pending)
        target->Release();
}

bool AutomationServer::RegisterRunning(framework::ObjectFactory& factory) {
    if (!m_bus || !m_bus->isConnected()) return false;
    const QString path = FactoryPath(factory);
    auto object = std::make_unique<QObject>();
    new ClassFactoryAdaptor(object.get(), *this, factory);
    if (!m_bus->registerObject(path, object.get(), QDBusConnection::ExportAdaptors)) {
        std::fprintf(stderr, "Cannot offer the automation object at %s.\n", qPrintable(path));
        return false;
    }
    const QString name = QString::fromStdString(factory.GetProgId());
    if (!m_bus->registerService(name)) {
        std::fprintf(stderr, "Cannot take the bus name %s: %s\n", qPrintable(name),
                     qPrintable(m_bus->lastError().message()));
        m_bus->unregisterObject(path);
        return false;
    }
    m_served.push_back({&factory, std::move(object)});
    return true;
}

void AutomationServer::RevokeRunning(framework::ObjectFactory& factory) {
    const auto found = std::find_if(m_served.begin(), m_served.end(),
                                    [&](const Served& s) { return s.factory == &factory; });
    if (found == m_served.end()) return;
    // Without the name the bus starts a new instance of the program for the next client.
    m_bus->unregisterService(QString::fromStdString(factory.GetProgId()));
    m_bus->unregisterObject(FactoryPath(factory));
    // The factory object may be answering the call that led here: it goes later.
    m_retired.push_back(std::move(found->object));
    m_served.erase(found);
    m_releaseTimer.start();
}

bool AutomationServer::UpdateRegistration(framework::ObjectFactory&) {
    std::string error;
    if (WriteServiceFile(ServiceFilePath(), m_executable, error)) return true;
    std::fprintf(stderr, "Automation clients cannot start this program: %s\n", error.c_str());
    return false;
}

QDBusObjectPath AutomationServer::CreateObject(framework::ObjectFactory& factory,
                                               const QDBusMessage& call) {
    framework::CommandTarget* target = factory.CreateObject();
    if (target == nullptr) {
        Fail(call, QStringLiteral("org.freedesktop.DBus.Error.Failed"),
             QStringLiteral("This program has made its automation object already; ask the bus "
                            "again for a new instance."));
        return {};
    }
    const QString path = kObjectPathPrefix + QString::number(m_nextObject++);
    auto object = std::make_unique<QObject>();
    new AutomationInterfaceAdaptor(object.get());
    new ObjectLifetimeAdaptor(object.get(), *this);
    if (!m_bus->registerObject(path, object.get(), QDBusConnection::ExportAdaptors)) {
        m_pending.push_back(target);
        m_releaseTimer.start();
        Fail(call, QStringLiteral("org.freedesktop.DBus.Error.Failed"),
             QStringLiteral("The automation object could not be offered at ") + path);
        return {};
    }
    m_watcher.addWatchedService(call.service());
    m_objects.push_back({path, call.service(), target, std::move(object)});
    return QDBusObjectPath(path);
}

void AutomationServer::ReleaseObject(const QDBusMessage& call) {
    const auto found = std::find_if(m_objects.begin(), m_objects.end(),
                                    [&](const Held& h) { return h.path == call.path(); });
    if (found == m_objects.end()) return;
    if (found->client != call.service()) {
        Fail(call, QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"),
             QStringLiteral("Only the client that made the object can release it."));
        return;
    }
    Drop(static_cast<std::size_t>(found - m_objects.begin()));
}

void AutomationServer::Drop(std::size_t index) {
    Held held = std::move(m_objects[index]);
    m_objects.erase(m_objects.begin() + static_cast<std::ptrdiff_t>(index));
    m_bus->unregisterObject(held.path);
    const bool clientHoldsMore = std::any_of(
        m_objects.begin(), m_objects.end(), [&](const Held& h) { return h.client == held.client; });
    if (!clientHoldsMore) m_watcher.removeWatchedService(held.client);
    // The object may be answering the call that led here: it goes later.
    m_retired.push_back(std::move(held.object));
    m_pending.push_back(held.target);
    m_releaseTimer.start();
}

void AutomationServer::ClientLeft(const QString& client) {
    for (std::size_t i = m_objects.size(); i-- > 0;) {
        if (m_objects[i].client == client) Drop(i);
    }
}

void AutomationServer::ReleasePending() {
    // From the timer no D-Bus call of these objects is running.
    m_retired.clear();
    if (m_isBusy && m_isBusy()) return;
    m_releaseTimer.stop();
    // A release may end the wizard and come back here; each target is taken off first.
    while (!m_pending.empty()) {
        framework::CommandTarget* target = m_pending.front();
        m_pending.erase(m_pending.begin());
        target->Release();
    }
}

void AutomationServer::Fail(const QDBusMessage& call, const QString& name, const QString& text) {
    call.setDelayedReply(true);
    m_bus->send(call.createErrorReply(name, text));
}

}  // namespace app
