#include "framework/Application.h"

#include <strings.h>

#include "framework/Host.h"
#include "framework/ProcessName.h"

namespace framework {
namespace {

Application* g_current = nullptr;

}  // namespace

Application::Application() : m_title(ProcessName()), m_previous(g_current) {
    g_current = this;
}

Application::~Application() {
    if (g_current == this) g_current = m_previous;
}

BOOL Application::InitInstance() {
    return TRUE;
}

int Application::ExitInstance() {
    return 0;
}

int Application::Main(int argc, char** argv) {
    if (argc > 0 && argv != nullptr && argv[0] != nullptr) {
        const std::string base = ProgramBaseName(argv[0]);
        if (!base.empty()) m_title = base;
    }
    m_arguments.clear();
    for (int i = 1; argv != nullptr && i < argc; ++i) {
        if (argv[i] != nullptr) m_arguments.emplace_back(argv[i]);
    }
    // The windows run modally inside InitInstance; there is no event loop after it, so its
    // result only says whether start-up got that far.
    InitInstance();
    return ExitInstance();
}

bool Application::HasOption(std::string_view name) const {
    for (const std::string& argument : m_arguments) {
        if (argument.size() != name.size() + 1) continue;
        if (argument[0] != '/' && argument[0] != '-') continue;
        if (strncasecmp(argument.c_str() + 1, name.data(), name.size()) == 0) return true;
    }
    return false;
}

bool Application::IsStartedForAutomation() {
    const bool automation = HasOption("Embedding") || HasOption("Automation");
    if (automation) m_userControl = false;
    return automation;
}

void Application::UnlockApp() {
    // An unlock without a lock is ignored rather than letting the count go negative.
    if (m_lockCount == 0) return;
    if (--m_lockCount > 0 || m_userControl) return;
    // Set first: destroying the window may release objects, and with them the lock again.
    m_userControl = true;
    if (m_mainWindow != nullptr) {
        if (m_mainWindow->IsWindowEnabled()) m_mainWindow->DestroyWindow();
    } else {
        m_quitRequested = true;
        CurrentHost().Quit();
    }
}

Application* Application::Current() {
    return g_current;
}

std::string ApplicationTitle() {
    const Application* app = Application::Current();
    return app != nullptr ? app->GetTitle() : ProcessName();
}

}  // namespace framework
