#pragma once

// Class factories for automation objects, in one process-wide list. What "registering" means
// on this platform (a bus name, a service file) is plugged in through an ObjectRegistry; with
// none, registration is bookkeeping only.
//   static framework::ObjectFactory factory("{6A1E...}", "Prog.Id", true,
//                                           [] { return new Proxy; });
//   if (app.IsStartedForAutomation()) framework::ObjectFactory::RegisterAll();
//   else framework::ObjectFactory::UpdateRegistryAll();

#include <functional>
#include <string>
#include <vector>

#include "framework/CommandTarget.h"

namespace framework {

class ObjectFactory;

// The platform's side of a factory's registration.
class ObjectRegistry {
public:
    virtual ~ObjectRegistry() = default;
    // Makes the factory reachable by clients of the running program.
    virtual bool RegisterRunning(ObjectFactory& factory) = 0;
    virtual void RevokeRunning(ObjectFactory& factory) = 0;
    // Writes the entries that let clients start the program.
    virtual bool UpdateRegistration(ObjectFactory& factory) = 0;
};

// The registry in force; null for none. Not owned.
void SetObjectRegistry(ObjectRegistry* registry);

class ObjectFactory {
public:
    // Creates an object with one reference, or null on failure.
    using Creator = std::function<CommandTarget*()>;

    // multipleInstances: each program instance serves one object; once it has made one, the
    // factory withdraws its running registration so the next client starts a new instance.
    ObjectFactory(std::string classId, std::string progId, bool multipleInstances, Creator create);
    // Revokes a running registration and leaves the list.
    ~ObjectFactory();
    ObjectFactory(const ObjectFactory&) = delete;
    ObjectFactory& operator=(const ObjectFactory&) = delete;

    const std::string& GetClassId() const { return m_classId; }
    const std::string& GetProgId() const { return m_progId; }
    bool IsMultipleInstance() const { return m_multipleInstances; }

    bool Register();
    void Revoke();
    bool IsRegistered() const { return m_registered; }
    bool UpdateRegistry();
    // A new object for a client; null when the factory has none to give.
    CommandTarget* CreateObject();

    // All factories of the process.
    static bool RegisterAll();
    static bool UpdateRegistryAll();
    static void RevokeAll();
    static std::vector<ObjectFactory*> All();

private:
    std::string m_classId;
    std::string m_progId;
    bool m_multipleInstances;
    Creator m_create;
    bool m_registered = false;
};

}  // namespace framework
