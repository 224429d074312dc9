#pragma once

// The D-Bus faces of the automation server (names in AutomationNames.h). They only pass the
// calls on to the server; the server decides.

#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>

namespace app {

class AutomationServer;
}  // namespace app

namespace framework {
class ObjectFactory;
}  // namespace framework

namespace app {

// What a client calls to get an automation object.
class ClassFactoryAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "VeltrixInstrumentSettings.ClassFactory")
    Q_PROPERTY(QString ClassId READ ClassId)

public:
    ClassFactoryAdaptor(QObject* object, AutomationServer& server,
                        framework::ObjectFactory& factory);
    QString ClassId() const;

public slots:
    QDBusObjectPath CreateObject(const QDBusMessage& message);

private:
    AutomationServer& m_server;
    framework::ObjectFactory& m_factory;
};

// The automation interface of the object: it has no members.
class AutomationInterfaceAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface",
                "VeltrixInstrumentSettings.IID_6A1E0D44_9C37_4B58_A2F1_3D84C95E7B20")
    Q_CLASSINFO("D-Bus Introspection",
                "  <interface "
                "name=\"VeltrixInstrumentSettings.IID_6A1E0D44_9C37_4B58_A2F1_3D84C95E7B20\">\n"
                "  </interface>\n")

public:
    explicit AutomationInterfaceAdaptor(QObject* object);
};

// The object's life: the client lets go of it.
class ObjectLifetimeAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "VeltrixInstrumentSettings.Object")

public:
    ObjectLifetimeAdaptor(QObject* object, AutomationServer& server);

public slots:
    void Release(const QDBusMessage& message);

private:
    AutomationServer& m_server;
};

}  // namespace app
