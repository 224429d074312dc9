#include "app/InstrumentSettingsApp.h"

#include <string>

#include "app/WizardRun.h"
#include "framework/win32/Win32Host.h"

InstrumentSettingsApp::InstrumentSettingsApp() = default;

BOOL InstrumentSettingsApp::InitInstance() {
    // The object runtime and the automation factory come first here, as on Linux: when an
    // automation client started the program (IsStartedForAutomation), the factory is offered
    // to it, else its registration is kept up to date. Until the program has its COM server,
    // both reduce to nothing, and the wizard runs the same way.
    framework::win32::Win32Host* host = m_host;
    app::RunWizard(*this, {.trace = m_trace,
                           .showBusy =
                               [host](const std::string& text) {
                                   if (host != nullptr) host->ShowBusyText(text);
                               },
                           .profileFile = m_profileFile,
                           .beforeRun = m_sheetHook,
                           .afterRun = {}});
    return FALSE;
}
