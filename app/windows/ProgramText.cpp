#include "app/windows/ProgramText.h"

#include "framework/win32/Win32Api.h"

namespace app {
namespace {

bool WriteAll(HANDLE out, const std::string& text) {
    if (out == nullptr || out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    return WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0 &&
           written == text.size();
}

}  // namespace

void ShowProgramText(const std::string& caption, const std::string& text, bool error) {
    const DWORD stream = error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
    if (WriteAll(GetStdHandle(stream), text)) return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        // The prompt came back when the program started: the text begins on a line of its own.
        const bool written = WriteAll(console, "\r\n" + text);
        if (console != INVALID_HANDLE_VALUE) CloseHandle(console);
        FreeConsole();
        if (written) return;
    }
    MessageBoxA(nullptr, text.c_str(), caption.c_str(),
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

}  // namespace app
