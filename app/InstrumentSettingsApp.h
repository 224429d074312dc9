#pragma once

// The application object: start-up, the one wizard, and the end of the program.
//   InstrumentSettingsApp theApp;
//   theApp.SetHost(host);            // the screen, set up by the program before Main
//   return theApp.Main(argc, argv);  // FALSE from InitInstance: no event loop follows
// Start-up is the platform's (app/linux/, app/windows/): on Linux it connects to the session bus
// when an automation client started the program ("-Automation" or "-Embedding") and offers its
// automation factory there; a normal start keeps the bus's activation file up to date instead;
// on Windows it is a COM local server. "/RegServer" and "/UnregServer" only register or
// unregister, and the program ends. Then the wizard runs modally (app/WizardRun.h). If a client
// still holds the automation object when the wizard closes, the window is only hidden and the
// program serves the client until it lets go.

#include <functional>
#include <string>

#include "ScreenHost.h"  // the platform's: app::ScreenHost
#include "framework/Application.h"
#include "support/Bool.h"

class CVeltrixInstrumentSettingsDlg;

namespace device {
class LineTrace;
}

class InstrumentSettingsApp : public framework::Application {
public:
    InstrumentSettingsApp();

    BOOL InitInstance() override;
    // 0, or 1 when "/RegServer" or "/UnregServer" failed.
    int ExitInstance() override { return m_exitCode; }

    // The host of the screen (not owned; needed by InitInstance).
    void SetHost(app::ScreenHost* host) { m_host = host; }
    // Where the serial line is traced (not owned; none by default).
    void SetLineTrace(device::LineTrace* trace) { m_trace = trace; }
    // A settings profile to load at start (--profile); none when empty.
    void SetProfileFile(std::string path) { m_profileFile = std::move(path); }
    // Called with the sheet once it exists, before its modal run (tests and the benchmark).
    void SetSheetHook(std::function<void(CVeltrixInstrumentSettingsDlg&)> hook) {
        m_sheetHook = std::move(hook);
    }

private:
    app::ScreenHost* m_host = nullptr;
    device::LineTrace* m_trace = nullptr;
    std::string m_profileFile;
    std::function<void(CVeltrixInstrumentSettingsDlg&)> m_sheetHook;
    int m_exitCode = 0;
};
