#include "tests/win32/Win32Kit.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <thread>

namespace win32_test {
namespace {

BoxAnswerer* g_answerer = nullptr;

// A message box: a dialog window of the thread with a static text and no wizard buttons.
bool IsMessageBox(HWND window) {
    if (!IsWindowVisible(window) || ClassOf(window) != "#32770") return false;
    if ((GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD) != 0) return false;
    return GetDlgItem(window, framework::ID_WIZNEXT) == nullptr;
}

SeenBox Describe(HWND box) {
    SeenBox seen;
    seen.caption = TextOf(box);
    std::string okText;
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const std::string cls = ClassOf(child);
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        if (cls == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
            seen.hasIcon = seen.hasIcon || IsWindowVisible(child);
        } else if (cls == "Static" && !TextOf(child).empty()) {
            seen.text = TextOf(child);
        } else if (cls == "Button" && IsWindowVisible(child)) {
            ++seen.buttons;
            if (GetDlgCtrlID(child) == framework::IDOK) okText = TextOf(child);
        }
    }
    seen.okOnly = seen.buttons == 1 && okText == "OK";
    return seen;
}

BOOL CALLBACK FindBox(HWND window, LPARAM found) {
    if (!IsMessageBox(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

void Pump(HWND dialog) {
    MSG message{};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (dialog != nullptr && IsWindow(dialog) && IsDialogMessageA(dialog, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs, HWND dialog) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        Pump(dialog);
        if (done()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void PressKey(HWND dialog, WPARAM key) {
    HWND target = GetFocus();
    if (target == nullptr) target = dialog;
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(key), 0)) << 16;
    PostMessageA(target, WM_KEYDOWN, key, 1 | scan);
    PostMessageA(target, WM_KEYUP, key, 1 | scan | (LPARAM{3} << 30));
    Pump(dialog);
}

void Click(HWND button) {
    SendMessageA(button, BM_CLICK, 0, 0);
}

void TypeText(HWND edit, const std::string& text) {
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Choose(HWND list, int index) {
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(GetParent(list), WM_COMMAND,
                 MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(list)), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    const int length = GetWindowTextA(window, text, sizeof text);
    return std::string(text, static_cast<std::size_t>(length > 0 ? length : 0));
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    const int length = GetClassNameA(window, name, sizeof name);
    return std::string(name, static_cast<std::size_t>(length > 0 ? length : 0));
}

RECT PlaceOf(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool SaveWindowPicture(HWND window, const std::string& path) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    RECT r{};
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    // What the screen shows, frame and all; PrintWindow would leave the frame to chance.
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    SelectObject(memory, old);
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), imageSize);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return static_cast<bool>(out);
}

BoxAnswerer::BoxAnswerer() {
    g_answerer = this;
    m_timer = SetTimer(nullptr, 0, 50, &BoxAnswerer::OnTimer);
}

BoxAnswerer::~BoxAnswerer() {
    KillTimer(nullptr, m_timer);
    g_answerer = nullptr;
}

std::vector<std::string> BoxAnswerer::Texts() const {
    std::vector<std::string> texts;
    for (const SeenBox& box : m_boxes)
        texts.push_back(box.text);
    return texts;
}

void CALLBACK BoxAnswerer::OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    if (g_answerer != nullptr) g_answerer->Look();
}

void BoxAnswerer::Look() {
    HWND box = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) return;
    m_boxes.push_back(Describe(box));
    if (m_hook) m_hook(box);
    if (HWND ok = GetDlgItem(box, framework::IDOK)) {
        Click(ok);
    } else {
        PostMessageA(box, WM_CLOSE, 0, 0);
    }
}

}  // namespace win32_test
