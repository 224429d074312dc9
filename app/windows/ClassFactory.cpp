// The framework's names first: <windows.h> defines macros that clash with them.
#include "framework/Application.h"
#include "framework/ObjectFactory.h"

#include "app/windows/AutomationObject.h"
#include "app/windows/ClassFactory.h"

namespace app::com {

ClassFactory::ClassFactory(framework::ObjectFactory& factory, ComServer& server)
    : m_factory(factory), m_server(server) {}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ClassFactory::AddRef() {
    return ++m_references;
}

ULONG ClassFactory::Release() {
    const ULONG left = --m_references;
    if (left == 0) delete this;
    return left;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    framework::CommandTarget* target = m_factory.CreateObject();
    // A single-use factory that has made its object already.
    if (target == nullptr) return CO_E_SERVER_STOPPING;
    auto* wrapper = new AutomationObject(target, m_server);
    const HRESULT result = wrapper->QueryInterface(iid, object);
    wrapper->Release();
    return result;
}

HRESULT ClassFactory::LockServer(BOOL lock) {
    framework::Application* application = framework::Application::Current();
    if (application == nullptr) return S_OK;
    if (lock) {
        application->LockApp();
    } else {
        application->UnlockApp();
    }
    return S_OK;
}

}  // namespace app::com
