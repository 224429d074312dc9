#include "app/linux/DBusAdaptors.h"

#include "app/linux/AutomationServer.h"
#include "framework/ObjectFactory.h"

namespace app {

ClassFactoryAdaptor::ClassFactoryAdaptor(QObject* object, AutomationServer& server,
                                         framework::ObjectFactory& factory)
    : QDBusAbstractAdaptor(object), m_server(server), m_factory(factory) {}

QString ClassFactoryAdaptor::ClassId() const {
    return QString::fromStdString(m_factory.GetClassId());
}

QDBusObjectPath ClassFactoryAdaptor::CreateObject(const QDBusMessage& message) {
    return m_server.CreateObject(m_factory, message);
}

AutomationInterfaceAdaptor::AutomationInterfaceAdaptor(QObject* object)
    : QDBusAbstractAdaptor(object) {}

ObjectLifetimeAdaptor::ObjectLifetimeAdaptor(QObject* object, AutomationServer& server)
    : QDBusAbstractAdaptor(object), m_server(server) {}

void ObjectLifetimeAdaptor::Release(const QDBusMessage& message) {
    m_server.ReleaseObject(message);
}

}  // namespace app
