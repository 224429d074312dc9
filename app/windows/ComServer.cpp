#include "app/windows/ComServer.h"

#include <algorithm>

#include "app/windows/ClassFactory.h"
#include "app/windows/ComRegistration.h"

namespace app::com {
namespace {

// How often objects let go of look again whether the program is idle.
constexpr UINT kReleaseRetryMs = 20;
constexpr DWORD kServeWakeMs = 100;

// The server of this thread, for its timer.
thread_local ComServer* t_server = nullptr;

bool ParseGuid(const std::string& text, CLSID& id) {
    const std::wstring wide(text.begin(), text.end());
    return SUCCEEDED(CLSIDFromString(wide.c_str(), &id));
}

}  // namespace

ComServer::ComServer(std::wstring serverPath, std::function<bool()> isBusy)
    : m_serverPath(std::move(serverPath)), m_isBusy(std::move(isBusy)) {
    t_server = this;
}

ComServer::~ComServer() {
    while (!m_running.empty())
        RevokeRunning(*m_running.back().factory);
    if (m_timer != 0) KillTimer(nullptr, m_timer);
    // Nothing runs any more that the release could tear down.
    std::vector<framework::CommandTarget*> pending;
    pending.swap(m_pending);
    for (framework::CommandTarget* target : pending)
        target->Release();
    if (t_server == this) t_server = nullptr;
}

bool ComServer::RegisterRunning(framework::ObjectFactory& factory) {
    CLSID classId;
    if (!ParseGuid(factory.GetClassId(), classId)) {
        m_lastError = "Not a class id: " + factory.GetClassId();
        return false;
    }
    auto* classFactory = new ClassFactory(factory, *this);
    DWORD cookie = 0;
    const HRESULT result = CoRegisterClassObject(
        classId, classFactory, CLSCTX_LOCAL_SERVER,
        factory.IsMultipleInstance() ? REGCLS_SINGLEUSE : REGCLS_MULTIPLEUSE, &cookie);
    if (FAILED(result)) {
        classFactory->Release();
        m_lastError = "CoRegisterClassObject failed with " + std::to_string(result);
        return false;
    }
    m_running.push_back({&factory, classFactory, cookie});
    return true;
}

void ComServer::RevokeRunning(framework::ObjectFactory& factory) {
    const auto found = std::find_if(m_running.begin(), m_running.end(),
                                    [&](const Running& r) { return r.factory == &factory; });
    if (found == m_running.end()) return;
    const Running running = *found;
    m_running.erase(found);
    // The class factory may be answering the call that led here; COM keeps its own reference
    // until that call is over.
    CoRevokeClassObject(running.cookie);
    running.classFactory->Release();
}

bool ComServer::UpdateRegistration(framework::ObjectFactory& factory) {
    LONG code = ERROR_SUCCESS;
    const ServerEntries entries =
        MakeServerEntries(factory.GetClassId(), factory.GetProgId(), m_serverPath);
    if (WriteRegistration(entries, m_lastError, &code)) return true;
    return code == ERROR_ACCESS_DENIED;
}

void ComServer::ReleaseLater(framework::CommandTarget* target) {
    m_pending.push_back(target);
    if (m_timer == 0) m_timer = SetTimer(nullptr, 0, kReleaseRetryMs, &ComServer::OnTimer);
}

void CALLBACK ComServer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (t_server != nullptr) t_server->ReleasePending();
}

void ComServer::ReleasePending() {
    if (m_isBusy && m_isBusy()) return;
    KillTimer(nullptr, m_timer);
    m_timer = 0;
    // A release may end the wizard and come back here; each target is taken off first.
    while (!m_pending.empty()) {
        framework::CommandTarget* target = m_pending.front();
        m_pending.erase(m_pending.begin());
        target->Release();
    }
}

void ComServer::Track(IUnknown* object) {
    m_objects.push_back(object);
}

void ComServer::Untrack(IUnknown* object) {
    std::erase(m_objects, object);
}

void ComServer::DisconnectAll() {
    // Disconnecting releases objects, which leave the list: each is held across its own call.
    const std::vector<IUnknown*> objects = m_objects;
    for (IUnknown* object : objects)
        object->AddRef();
    for (IUnknown* object : objects) {
        CoDisconnectObject(object, 0);
        object->Release();
    }
}

void ComServer::ServeUntil(const std::function<bool()>& done, HANDLE clientGone) {
    while (!done()) {
        const DWORD handles = clientGone != nullptr ? 1 : 0;
        const DWORD woke =
            MsgWaitForMultipleObjects(handles, &clientGone, FALSE, kServeWakeMs, QS_ALLINPUT);
        if (handles == 1 && woke == WAIT_OBJECT_0) {
            clientGone = nullptr;
            DisconnectAll();
        }
        MSG message;
        while (!done() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            // The application asked to end: the loop ends, and the quit is left for the next.
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace app::com
