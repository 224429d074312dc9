#include "framework/win32/ElidedText.h"

#include <cctype>

namespace framework::win32 {
namespace {

constexpr std::string_view kEllipsis = "...";

struct Word {
    std::size_t start = 0;
    std::size_t length = 0;
};

Word LongestWord(const std::string& text) {
    Word longest;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i < text.size() && !std::isspace(static_cast<unsigned char>(text[i]))) continue;
        if (i - start > longest.length) longest = {start, i - start};
        start = i + 1;
    }
    return longest;
}

// The text with the word's middle (keep characters kept, the end's half first) replaced.
std::string WithMiddleOut(const std::string& text, Word word, std::size_t keep) {
    const std::size_t tail = keep / 2;
    const std::size_t head = keep - tail;
    return text.substr(0, word.start + head) + std::string(kEllipsis) +
           text.substr(word.start + word.length - tail);
}

}  // namespace

std::string ElideLongestWord(const std::string& text, const MeasureText& measure, int width) {
    if (measure(text) <= width) return text;
    const Word word = LongestWord(text);
    for (std::size_t keep = word.length; keep-- > 0;) {
        std::string shortened = WithMiddleOut(text, word, keep);
        if (measure(shortened) <= width) return shortened;
    }
    // Even the word's ends do not fit: the line is cut at its end.
    for (std::size_t keep = text.size(); keep-- > 0;) {
        std::string shortened = text.substr(0, keep) + std::string(kEllipsis);
        if (measure(shortened) <= width) return shortened;
    }
    return std::string();
}

}  // namespace framework::win32
