#include "device/linux/NaturalOrder.h"

namespace device {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digit run starting at pos, without its leading zeros; pos moves past the run.
std::string_view DigitRun(std::string_view text, std::size_t& pos) {
    std::size_t begin = pos;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    while (begin + 1 < pos && text[begin] == '0')
        ++begin;
    return text.substr(begin, pos - begin);
}

}  // namespace

bool NaturalLess(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (IsDigit(a[i]) && IsDigit(b[j])) {
            const std::string_view x = DigitRun(a, i);
            const std::string_view y = DigitRun(b, j);
            if (x.size() != y.size()) return x.size() < y.size();
            if (x != y) return x < y;
            continue;
        }
        if (a[i] != b[j])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
        ++i;
        ++j;
    }
    // One name is a prefix of the other (by value): the shorter comes first.
    if (i < a.size() || j < b.size()) return i == a.size();
    return a < b;
}

}  // namespace device
