#pragma once

// The application object: one per program, constructed before main's logic runs. Its title is
// the executable's base name and captions every message box. It knows the command line, the
// main window, whether the user controls the program, and the application lock that keeps an
// automation-started program alive while clients hold objects.
//   class MyApp : public framework::Application {
//       BOOL InitInstance() override { ...; return FALSE; }
//   };
//   MyApp theApp;
//   int main(int argc, char** argv) { return theApp.Main(argc, argv); }

#include <string>
#include <string_view>
#include <vector>

#include "framework/Dialog.h"
#include "support/Bool.h"

namespace framework {

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Start-up; FALSE ends the program without an event loop. The base returns TRUE.
    virtual BOOL InitInstance();
    // The exit code; the base returns 0.
    virtual int ExitInstance();

    // Takes the command line (title from argv[0]), runs InitInstance, then ExitInstance, and
    // returns the exit code.
    int Main(int argc, char** argv);

    // The executable's base name (argv[0] without its folders); before Main, the name the
    // process was started with.
    const std::string& GetTitle() const { return m_title; }
    // The arguments after argv[0].
    const std::vector<std::string>& Arguments() const { return m_arguments; }
    // An argument "/name" or "-name", the name compared without regard to case.
    bool HasOption(std::string_view name) const;
    // Started by an automation client ("Embedding" or "Automation"): the program is then not
    // under user control until the user takes it.
    bool IsStartedForAutomation();

    Dialog* GetMainWindow() const { return m_mainWindow; }
    void SetMainWindow(Dialog* window) { m_mainWindow = window; }
    bool IsUserControl() const { return m_userControl; }
    void SetUserControl(bool userControl) { m_userControl = userControl; }

    // The application lock. When the count drops to zero while the program is not under user
    // control, it becomes under user control and the main window is destroyed if it is
    // enabled; with no main window the host is asked to quit.
    void LockApp() { ++m_lockCount; }
    void UnlockApp();
    int GetLockCount() const { return m_lockCount; }
    bool IsQuitRequested() const { return m_quitRequested; }

    // The application object of the process; null when none exists.
    static Application* Current();

private:
    std::string m_title;
    std::vector<std::string> m_arguments;
    Dialog* m_mainWindow = nullptr;
    bool m_userControl = true;
    int m_lockCount = 0;
    bool m_quitRequested = false;
    Application* m_previous;
};

// The current application's title; without one, the name the process was started with.
std::string ApplicationTitle();

}  // namespace framework
