#include "framework/win32/DialogWindow.h"

#include <cstring>
#include <vector>

namespace framework::win32 {
namespace {

// The template's words: header, no menu, the standard class, an empty title, the font.
std::vector<WORD> EmptyTemplate(DWORD style, DWORD exStyle, int width, int height, int pointSize) {
    DLGTEMPLATE header{};
    header.style = style | DS_SETFONT;
    header.dwExtendedStyle = exStyle;
    header.cdit = 0;
    header.cx = static_cast<short>(width);
    header.cy = static_cast<short>(height);
    std::vector<WORD> words(sizeof header / sizeof(WORD));
    std::memcpy(words.data(), &header, sizeof header);
    words.push_back(0);  // menu
    words.push_back(0);  // class
    words.push_back(0);  // title
    words.push_back(static_cast<WORD>(pointSize));
    for (const char* c = kDialogFace; *c != '\0'; ++c)
        words.push_back(static_cast<WORD>(static_cast<unsigned char>(*c)));
    words.push_back(0);
    return words;
}

}  // namespace

HWND CreateDialogWindow(HWND parent, DWORD style, DWORD exStyle, int width, int height,
                        int pointSize, DLGPROC proc, LPARAM param) {
    const std::vector<WORD> words = EmptyTemplate(style, exStyle, width, height, pointSize);
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr),
                                      reinterpret_cast<const DLGTEMPLATE*>(words.data()), parent,
                                      proc, param);
}

}  // namespace framework::win32
