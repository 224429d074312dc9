#pragma once

// The platform side of the automation factories on Windows: the component object model.
// Registering a factory as running hands its class factory to CoRegisterClassObject for a
// local server (single use when the factory serves one object per program instance); updating
// the registration writes the registry entries of ComRegistration.h, quietly doing without
// when the user lacks the rights. Objects that clients let go of are released once the
// program is idle (not inside a page's work, a wait on the line or a message box), since that
// may end the wizard; a thread timer looks again until then.
// Everything runs on the thread that made the server, which must have initialised COM
// (apartment threaded); calls from clients arrive through that thread's message loop.
//   app::com::ComServer server(app::com::OwnPath(), isBusy);
//   framework::SetObjectRegistry(&server);
//   framework::ObjectFactory::RegisterAll();
//   ... the wizard ...
//   server.ServeUntil([&] { return sheet.m_pAutoProxy == nullptr; });

#include <windows.h>

#include <unknwn.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/ObjectFactory.h"

namespace app::com {

class ClassFactory;

class ComServer final : public framework::ObjectRegistry {
public:
    // serverPath: the program that the registration names. isBusy: whether the program is in
    // the middle of something that must not be torn down.
    ComServer(std::wstring serverPath, std::function<bool()> isBusy);
    // Revokes what is still registered and releases objects still pending.
    ~ComServer() override;
    ComServer(const ComServer&) = delete;
    ComServer& operator=(const ComServer&) = delete;

    bool RegisterRunning(framework::ObjectFactory& factory) override;
    void RevokeRunning(framework::ObjectFactory& factory) override;
    // Access denied (a user without administrator rights) is not an error here: the program
    // runs on with the registration the installer made.
    bool UpdateRegistration(framework::ObjectFactory& factory) override;
    // The text of the last failure of the calls above.
    const std::string& LastError() const { return m_lastError; }

    // A client let go of the object made for it: the program's object is released as soon as
    // the program is idle.
    void ReleaseLater(framework::CommandTarget* target);

    // The objects that clients hold, each once from its construction to its deletion.
    void Track(IUnknown* object);
    void Untrack(IUnknown* object);
    // Cuts every client off its object (CoDisconnectObject): COM lets go of the references it
    // held for them, and the objects go.
    void DisconnectAll();

    // Runs the thread's message loop, serving clients, until done() holds (checked after every
    // message and at least every 100 ms) or the thread is asked to quit. When clientGone (a
    // process or event handle, may be null) is signalled, the clients are cut off, since no
    // Release will come from a client that died.
    void ServeUntil(const std::function<bool()>& done, HANDLE clientGone = nullptr);

private:
    struct Running {
        framework::ObjectFactory* factory;
        ClassFactory* classFactory;
        DWORD cookie;
    };

    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void ReleasePending();

    std::wstring m_serverPath;
    std::function<bool()> m_isBusy;
    std::vector<Running> m_running;
    std::vector<framework::CommandTarget*> m_pending;
    std::vector<IUnknown*> m_objects;
    UINT_PTR m_timer = 0;
    std::string m_lastError;
};

}  // namespace app::com
