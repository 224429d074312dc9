#pragma once

// The COM class factory of one of the program's object factories, registered as running by
// the server. CreateInstance makes the program's object (which withdraws a single-use factory,
// so that the next client starts a new instance) and wraps it for the client; LockServer holds
// the application lock.
//   IClassFactory* factory = new app::com::ClassFactory(objectFactory, server);   // one reference

#include <unknwn.h>
#include <windows.h>

#include <atomic>

namespace framework {
class ObjectFactory;
}

namespace app::com {

class ComServer;

// COM interfaces have no virtual destructor: the object deletes itself in Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class ClassFactory final : public IClassFactory {
public:
    ClassFactory(framework::ObjectFactory& factory, ComServer& server);
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ~ClassFactory() = default;

    std::atomic<ULONG> m_references{1};
    framework::ObjectFactory& m_factory;
    ComServer& m_server;
};
#pragma GCC diagnostic pop

}  // namespace app::com
