#include "framework/ObjectFactory.h"

#include <algorithm>
#include <mutex>

namespace framework {
namespace {

ObjectRegistry* g_registry = nullptr;

// Made on first use, by the first factory's constructor, so it outlives every factory.
struct FactoryList {
    std::mutex lock;
    std::vector<ObjectFactory*> factories;
};

FactoryList& List() {
    static FactoryList list;
    return list;
}

std::vector<ObjectFactory*> Snapshot() {
    FactoryList& list = List();
    std::lock_guard<std::mutex> hold(list.lock);
    return list.factories;
}

}  // namespace

void SetObjectRegistry(ObjectRegistry* registry) {
    g_registry = registry;
}

ObjectFactory::ObjectFactory(std::string classId, std::string progId, bool multipleInstances,
                             Creator create)
    : m_classId(std::move(classId)),
      m_progId(std::move(progId)),
      m_multipleInstances(multipleInstances),
      m_create(std::move(create)) {
    FactoryList& list = List();
    std::lock_guard<std::mutex> hold(list.lock);
    list.factories.push_back(this);
}

ObjectFactory::~ObjectFactory() {
    Revoke();
    FactoryList& list = List();
    std::lock_guard<std::mutex> hold(list.lock);
    std::erase(list.factories, this);
}

bool ObjectFactory::Register() {
    if (m_registered) return true;
    m_registered = g_registry == nullptr || g_registry->RegisterRunning(*this);
    return m_registered;
}

void ObjectFactory::Revoke() {
    if (!m_registered) return;
    m_registered = false;
    if (g_registry != nullptr) g_registry->RevokeRunning(*this);
}

bool ObjectFactory::UpdateRegistry() {
    return g_registry == nullptr || g_registry->UpdateRegistration(*this);
}

CommandTarget* ObjectFactory::CreateObject() {
    if (!m_registered || !m_create) return nullptr;
    CommandTarget* object = m_create();
    // One object per program instance: the next client starts a new instance.
    if (object != nullptr && m_multipleInstances) Revoke();
    return object;
}

bool ObjectFactory::RegisterAll() {
    bool ok = true;
    for (ObjectFactory* factory : Snapshot())
        ok = factory->Register() && ok;
    return ok;
}

bool ObjectFactory::UpdateRegistryAll() {
    bool ok = true;
    for (ObjectFactory* factory : Snapshot())
        ok = factory->UpdateRegistry() && ok;
    return ok;
}

void ObjectFactory::RevokeAll() {
    for (ObjectFactory* factory : Snapshot())
        factory->Revoke();
}

std::vector<ObjectFactory*> ObjectFactory::All() {
    return Snapshot();
}

}  // namespace framework
