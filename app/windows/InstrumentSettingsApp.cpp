#include "app/InstrumentSettingsApp.h"

#include <string>

#include "app/WizardRun.h"
#include "app/windows/AutomationStartup.h"
#include "framework/win32/Win32Host.h"

InstrumentSettingsApp::InstrumentSettingsApp() = default;

BOOL InstrumentSettingsApp::InitInstance() {
    // The object runtime and the automation factory come first: when an automation client
    // started the program, the factory is offered to it, else its registration is kept up to
    // date; "/RegServer" and "/UnregServer" end here.
    framework::win32::Win32Host* host = m_host;
    app::com::AutomationStartup automation(
        *this, [host] { return host != nullptr && host->GetActivity().IsBusy(); });
    if (!automation.Start()) {
        m_exitCode = automation.ExitCode();
        return FALSE;
    }
    app::RunWizard(*this, {.trace = m_trace,
                           .showBusy =
                               [host](const std::string& text) {
                                   if (host != nullptr) host->ShowBusyText(text);
                               },
                           .profileFile = m_profileFile,
                           .beforeRun = m_sheetHook,
                           // A client still holds the object: the window is hidden, and the
                           // program serves the client until it lets go.
                           .afterRun =
                               [&automation](CVeltrixInstrumentSettingsDlg& sheet) {
                                   automation.ServeWhileHeld(sheet);
                               }});
    return FALSE;
}
