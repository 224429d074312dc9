#pragma once

// Small text helpers of the command line's messages.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

// Text that may hold bytes from the line, made safe for a terminal: control bytes (an escape
// sequence could rewrite the screen) are shown as \xNN; tabs and line breaks stay. That holds
// for the C1 controls too, which some terminals obey both as the raw bytes 0x80-0x9F and as
// their UTF-8 form C2 80 to C2 9F.
inline std::string Printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const auto escape = [](std::string& shown, unsigned char byte) {
        shown += "\\x";
        shown += kHex[byte >> 4];
        shown += kHex[byte & 0x0F];
    };
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            escape(shown, byte);
            escape(shown, next);
            ++i;
        } else if ((byte < 0x20 && c != '\n' && c != '\t') || (byte >= 0x7F && byte <= 0x9F)) {
            escape(shown, byte);
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
