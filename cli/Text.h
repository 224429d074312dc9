#pragma once

// Small text helpers of the command line's messages.

#include <string>
#include <string_view>
#include <vector>

namespace cli {

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
