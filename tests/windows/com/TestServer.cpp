// A stand-in for the wizard program as a COM server: the real sheet, proxy, factory and
// start-up of app/windows, shown in a plain top-level window that carries the sheet's title
// (so that a client finds it by title) and closes as the sheet's close box does. It lets the
// COM tests run before and apart from the full Win32 window.

// The framework's names first: <windows.h> defines macros that clash with them.
#include "app/windows/AutomationStartup.h"
#include "engine/CVeltrixInstrumentSettingsDlg.h"
#include "framework/Application.h"
#include "framework/Host.h"
#include "framework/PropertySheet.h"
#include "resources/Resource.h"
#include "resources/Resources.h"

#include <windows.h>

#include <memory>
#include <string>

namespace {

constexpr wchar_t kWindowClass[] = L"VeltrixComTestSheet";

// One window for the sheet: its title, its visibility, and the close box.
class WindowHost final : public framework::Host {
public:
    void RunModal(framework::PropertySheet& sheet) override {
        m_sheet = &sheet;
        const std::wstring title(sheet.GetCaption().begin(), sheet.GetCaption().end());
        m_window = CreateWindowExW(0, kWindowClass, title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 400,
                                   300, nullptr, nullptr, GetModuleHandleW(nullptr), this);
        ShowWindow(m_window, sheet.IsWindowVisible() ? SW_SHOW : SW_HIDE);
        MSG message;
        while (!sheet.IsEnded() && GetMessageW(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    int ShowMessageBox(const std::string& text, const std::string& caption,
                       framework::MessageIcon) override {
        return MessageBoxA(m_window, text.c_str(), caption.c_str(), MB_OK | MB_ICONWARNING);
    }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    void RepaintWhileWaiting() override {}
    void OnDialogChanged(framework::Dialog& dialog, framework::DialogChange what) override {
        if (&dialog != m_sheet || m_window == nullptr) return;
        if (what == framework::DialogChange::WindowVisible) {
            ShowWindow(m_window, dialog.IsWindowVisible() ? SW_SHOW : SW_HIDE);
        } else if (what == framework::DialogChange::Destroyed && dialog.IsWindowVisible()) {
            DestroyWindow(m_window);
            m_window = nullptr;
        }
    }

    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_NCCREATE) {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(l);
            SetWindowLongPtrW(window, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* host = reinterpret_cast<WindowHost*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_CLOSE && host != nullptr && host->m_sheet != nullptr) {
            host->m_sheet->Close();
            return 0;
        }
        return DefWindowProcW(window, message, w, l);
    }

private:
    framework::PropertySheet* m_sheet = nullptr;
    HWND m_window = nullptr;
};

class TestServerApp final : public framework::Application {
public:
    BOOL InitInstance() override {
        app::com::AutomationStartup automation(*this, nullptr);
        if (!automation.Start()) {
            m_exitCode = automation.ExitCode();
            return FALSE;
        }
        auto sheet = std::make_unique<CVeltrixInstrumentSettingsDlg>(IDS_SHEET_CAPTION, nullptr, 0);
        SetMainWindow(sheet.get());
        sheet->DoModal();
        automation.ServeWhileHeld(*sheet);
        SetMainWindow(nullptr);
        return FALSE;
    }
    int ExitInstance() override { return m_exitCode; }

private:
    int m_exitCode = 0;
};

TestServerApp theApp;

}  // namespace

int main(int argc, char** argv) {
    resources::RegisterResources();
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &WindowHost::Procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassW(&windowClass);
    WindowHost host;
    framework::ScopedHost use(host);
    return theApp.Main(argc, argv);
}
