#include "app/windows/AutomationObject.h"

#include "app/windows/ComServer.h"

namespace app::com {

const IID kAutomationInterface = {
    0x6A1E0D44, 0x9C37, 0x4B58, {0xA2, 0xF1, 0x3D, 0x84, 0xC9, 0x5E, 0x7B, 0x20}};

AutomationObject::AutomationObject(framework::CommandTarget* target, ComServer& server)
    : m_target(target), m_server(server) {
    m_server.Track(this);
}

HRESULT AutomationObject::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, kAutomationInterface)) {
        *object = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG AutomationObject::AddRef() {
    return ++m_references;
}

ULONG AutomationObject::Release() {
    const ULONG left = --m_references;
    if (left == 0) {
        m_server.Untrack(this);
        m_server.ReleaseLater(m_target);
        delete this;
    }
    return left;
}

HRESULT AutomationObject::GetTypeInfoCount(UINT* count) {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT AutomationObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info != nullptr) *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT AutomationObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT count, LCID, DISPID* ids) {
    for (UINT i = 0; ids != nullptr && i < count; ++i)
        ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
}

HRESULT AutomationObject::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                 UINT*) {
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace app::com
