#pragma once

// Small text helpers of the command line's messages.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Text that may hold bytes from the line, made safe for a terminal: control bytes (an escape
// sequence could rewrite the screen) are shown as \xNN; tabs and line breaks stay.
inline std::string Printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\n' && c != '\t') || byte == 0x7F) {
            shown += "\\x";
            shown += kHex[byte >> 4];
            shown += kHex[byte & 0x0F];
        } else {
            shown += c;
        }
    }
    return shown;
}

// "a, b, c" for Join(items, ", ").
inline std::string Join(const std::vector<std::string>& items, std::string_view separator) {
    std::string text;
    for (const std::string& item : items) {
        if (!text.empty()) text += separator;
        text += item;
    }
    return text;
}

}  // namespace cli
