// The framework's names first: <windows.h> defines macros that clash with them, and those
// that this file calls are taken back afterwards.
#include "app/windows/AutomationStartup.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Application.h"
#include "framework/Host.h"
#include "framework/ObjectFactory.h"
#include "framework/Resources.h"
#include "resources/Resource.h"

#include <ole2.h>
#include <windows.h>

#include <cstdio>

#include "app/windows/ComRegistration.h"
#include "app/windows/ComServer.h"
#include "app/windows/StarterProcess.h"

#undef MessageBox
#undef LoadString

namespace app::com {

AutomationStartup::AutomationStartup(framework::Application& application,
                                     std::function<bool()> isBusy)
    : m_application(application), m_isBusy(std::move(isBusy)) {}

AutomationStartup::~AutomationStartup() {
    if (m_server != nullptr) {
        // Objects still held (the program is quitting) go before the server they report to.
        m_server->DisconnectAll();
        framework::ObjectFactory::RevokeAll();
        framework::SetObjectRegistry(nullptr);
        m_server.reset();
    }
    if (m_runtimeReady) OleUninitialize();
}

bool AutomationStartup::Start() {
    m_runtimeReady = SUCCEEDED(OleInitialize(nullptr));
    if (!m_runtimeReady) {
        framework::MessageBox(framework::LoadString(IDS_OLE_INIT_FAILED));
        m_exitCode = 1;
        return false;
    }
    const bool unregister = m_application.HasOption("UnregServer");
    if (unregister || m_application.HasOption("RegServer")) {
        m_exitCode = RunRegistrationCommand(unregister);
        return false;
    }
    const bool automation = m_application.IsStartedForAutomation();
    m_server = std::make_unique<ComServer>(OwnPath(), m_isBusy);
    framework::SetObjectRegistry(m_server.get());
    if (automation) {
        m_starter = std::make_unique<StarterProcess>();
        // The client that started the program is told by COM when no factory comes; the
        // wizard runs all the same.
        if (!framework::ObjectFactory::RegisterAll()) {
            std::fprintf(stderr, "%s\n", m_server->LastError().c_str());
        }
    } else if (!framework::ObjectFactory::UpdateRegistryAll()) {
        // A registration that fails never stops the wizard.
        std::fprintf(stderr, "Automation clients cannot start this program: %s\n",
                     m_server->LastError().c_str());
    }
    return true;
}

int AutomationStartup::RunRegistrationCommand(bool unregister) {
    bool ok = true;
    for (framework::ObjectFactory* factory : framework::ObjectFactory::All()) {
        const ServerEntries entries =
            MakeServerEntries(factory->GetClassId(), factory->GetProgId(), OwnPath());
        std::string error;
        if (unregister ? RemoveRegistration(entries, error) : WriteRegistration(entries, error)) {
            continue;
        }
        std::fprintf(stderr, "%s\n", error.c_str());
        ok = false;
    }
    return ok ? 0 : 1;
}

void AutomationStartup::ServeWhileHeld(CVeltrixInstrumentSettingsDlg& sheet) {
    if (m_server == nullptr) return;
    m_server->ServeUntil([&sheet] { return sheet.m_pAutoProxy == nullptr; },
                         m_starter != nullptr ? m_starter->Handle() : nullptr);
}

}  // namespace app::com
