// veltrix-instrument-settings.exe started as a process, as from the desktop: its window with
// the first step and the program's icon comes up, and Esc ends the program. VELTRIX_PROGRAM
// names the program.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "tests/win32/ProgramProcess.h"
#include "tests/win32/Win32Kit.h"

namespace win32_test {
namespace {

// Generous: Wine starts a program in well under a second on a healthy machine; the figure
// itself is the start-up benchmark's.
constexpr int kWindowWithinMs = 20000;

std::string Program() {
    const char* path = std::getenv("VELTRIX_PROGRAM");
    return path != nullptr ? path : "";
}

// Icon 128 in every size the desktop asks for, the version record and the manifest.
TEST(ProgramTest, TheProgramCarriesItsIconVersionAndManifest) {
    HMODULE module = LoadLibraryExA(Program().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << Program();
    for (const int size : {16, 24, 32, 48, 256}) {
        HANDLE icon = LoadImageA(module, MAKEINTRESOURCEA(128), IMAGE_ICON, size, size, 0);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
        BITMAP bitmap{};
        GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(icon));
    }
    EXPECT_NE(FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(16)), nullptr);
    HRSRC manifest = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr);
    const std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                           SizeofResource(module, manifest));
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("PerMonitorV2"), std::string::npos);
    EXPECT_NE(text.find("asInvoker"), std::string::npos);
    FreeLibrary(module);
}

TEST(ProgramTest, TheWindowComesUpAndEscEndsTheProgram) {
    ASSERT_FALSE(Program().empty()) << "VELTRIX_PROGRAM is not set";
    const ProgramProcess program(Program(), "");
    ASSERT_TRUE(program.Started()) << Program();
    HWND window = program.WaitForWindow("Veltrix Instrument Settings V 1.05  -  Step 1 of 5",
                                        kWindowWithinMs);
    ASSERT_NE(window, nullptr);
    // The first step's controls are there, and one of them has the focus.
    EXPECT_NE(FindWindowExA(window, nullptr, "#32770", nullptr), nullptr);
    Sleep(300);  // let the first paint finish before the picture
    const char* dir = std::getenv("VELTRIX_SCREENSHOT_DIR");
    if (dir != nullptr) SaveWindowPicture(window, std::string(dir) + "\\program.bmp");

    program.PressKey(window, VK_ESCAPE);
    EXPECT_EQ(program.WaitForExit(kWindowWithinMs), 0);
}

// --simulate: the simulator runs inside the program behind a COM port of its own, and the
// wizard goes on to step 2 with it as with an instrument.
TEST(ProgramTest, WithSimulateTheWizardFindsTheBuiltInInstrument) {
    const ProgramProcess program(Program(), "--simulate");
    ASSERT_TRUE(program.Started()) << Program();
    HWND window = program.WaitForWindow("Veltrix Instrument Settings V 1.05  -  Step 1 of 5",
                                        kWindowWithinMs);
    ASSERT_NE(window, nullptr);
    HWND page = FindWindowExA(window, nullptr, "#32770", nullptr);
    ASSERT_NE(page, nullptr);
    HWND ports = GetDlgItem(page, 1005);
    ASSERT_NE(ports, nullptr);
    int simulator = -1;
    std::string seen;
    const int count = static_cast<int>(SendMessageA(ports, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count && simulator < 0; ++i) {
        // Wide: between processes the system carries a list's texts as UTF-16.
        wchar_t wide[256] = {};
        SendMessageW(ports, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        const std::string item(wide, wide + wcslen(wide));
        if (item.starts_with("Simulated instrument  ( COM")) simulator = i;
        seen += item + "; ";
    }
    ASSERT_GE(simulator, 0) << seen;
    // Chosen as the user would: the list's selection and its notification.
    SendMessageA(ports, CB_SETCURSEL, static_cast<WPARAM>(simulator), 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1005, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(ports));
    program.PressKey(window, VK_RETURN);
    const auto stepTwo = [&] { return TextOf(window).ends_with("Step 2 of 5"); };
    for (int i = 0; i < 200 && !stepTwo(); ++i)
        Sleep(100);
    EXPECT_TRUE(stepTwo()) << TextOf(window);
    program.PressKey(window, VK_ESCAPE);
    EXPECT_EQ(program.WaitForExit(kWindowWithinMs), 0);
}

}  // namespace
}  // namespace win32_test
