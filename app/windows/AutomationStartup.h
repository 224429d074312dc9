#pragma once

// Start-up's part of automation on Windows, around the wizard's modal run:
//   - the object runtime (OLE) for the thread; when it fails, string 100 in a box and no wizard;
//   - "/RegServer" and "/UnregServer" (or with '-'): write or remove the registration and end,
//     without the wizard, exit code 0 or 1 (the reason on standard error);
//   - "Embedding" or "Automation": the factories registered as running, so that the client
//     that started the program gets its object; otherwise the registration is brought up to
//     date, quietly doing without when the user lacks the rights;
//   - after the wizard: while a client still holds the object the window is hidden, and the
//     program serves the client until it lets go; when the process that started the program
//     for automation (under Wine the client) ends first, its clients are cut off, so a client
//     that died without Release does not keep the hidden program for ever.
//   app::com::AutomationStartup automation(*this, isBusy);
//   if (!automation.Start()) { m_exitCode = automation.ExitCode(); return FALSE; }
//   sheet->DoModal();
//   automation.ServeWhileHeld(*sheet);

#include <functional>
#include <memory>

namespace framework {
class Application;
}

class CVeltrixInstrumentSettingsDlg;

namespace app::com {

class ComServer;
class StarterProcess;

class AutomationStartup {
public:
    // isBusy: whether the program is in the middle of something that must not be torn down.
    AutomationStartup(framework::Application& application, std::function<bool()> isBusy);
    // Takes the factories off the runtime and closes it.
    ~AutomationStartup();
    AutomationStartup(const AutomationStartup&) = delete;
    AutomationStartup& operator=(const AutomationStartup&) = delete;

    // True when the wizard is to run; false when the program ends here (runtime failure,
    // registration command), with ExitCode.
    bool Start();
    int ExitCode() const { return m_exitCode; }
    // Returns once no client holds the sheet's automation object.
    void ServeWhileHeld(CVeltrixInstrumentSettingsDlg& sheet);

private:
    int RunRegistrationCommand(bool unregister);

    framework::Application& m_application;
    std::function<bool()> m_isBusy;
    bool m_runtimeReady = false;
    std::unique_ptr<ComServer> m_server;
    std::unique_ptr<StarterProcess> m_starter;
    int m_exitCode = 0;
};

}  // namespace app::com
