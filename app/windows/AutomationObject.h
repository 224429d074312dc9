#pragma once

// What an automation client holds: a COM object with IUnknown, IDispatch and the automation
// interface, standing for one object that the program's factory made. IDispatch has no
// members (GetIDsOfNames: DISP_E_UNKNOWNNAME, Invoke: DISP_E_MEMBERNOTFOUND, no type
// information). The last Release hands the program's object to the server, which releases it
// once the program is idle, since that may end the wizard.
//   IDispatch* object = new app::com::AutomationObject(target, server);   // one reference

#include <oaidl.h>
#include <windows.h>

#include <atomic>

namespace framework {
class CommandTarget;
}

namespace app::com {

class ComServer;

// COM interfaces have no virtual destructor: the object deletes itself in Release.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class AutomationObject final : public IDispatch {
public:
    // target: the program's object, whose one reference this takes over.
    AutomationObject(framework::CommandTarget* target, ComServer& server);
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags,
                                     DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override;

private:
    ~AutomationObject() = default;

    std::atomic<ULONG> m_references{1};
    framework::CommandTarget* m_target;
    ComServer& m_server;
};
#pragma GCC diagnostic pop

// {6A1E0D44-9C37-4B58-A2F1-3D84C95E7B20}
extern const IID kAutomationInterface;

}  // namespace app::com
