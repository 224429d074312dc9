#include <algorithm>
#include <cstdint>
#include <utility>

#include "support/ValueString.h"

// Splitting at positions and separators, and deleting. The separator forms find the position
// and hand over to the position forms through virtual dispatch.

namespace {

int PositionOf(std::size_t pos) {
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

// A head separator that is absent stands just after the text.
int PositionOrEnd(std::size_t pos, const std::string& text) {
    return static_cast<int>(pos == std::string::npos ? text.size() : pos);
}

// End of the count bytes after pos, within length; count below 0 counts as 0. Computed in 64
// bits so that pos + count cannot overflow.
std::size_t EndAfter(int pos, int count, std::size_t length) {
    const std::int64_t end = std::int64_t{pos} + std::max(count, 0);
    return static_cast<std::size_t>(std::min<std::int64_t>(end, static_cast<std::int64_t>(length)));
}

}  // namespace

ValueString ValueString::TakeHeadByText(const ValueString& sep) {
    return TakeHead(PositionOrEnd(text.find(sep.text), text), static_cast<int>(sep.text.size()));
}

ValueString ValueString::TakeHeadByChar(char sep) {
    return TakeHead(PositionOrEnd(text.find(sep), text), 1);
}

ValueString ValueString::TakeHead(int pos, int count) {
    if (pos < 0) return ValueString();
    if (static_cast<std::size_t>(pos) >= text.size()) return ValueString(std::exchange(text, {}));
    ValueString head(text.substr(0, static_cast<std::size_t>(pos)));
    text.erase(0, EndAfter(pos, count, text.size()));
    return head;
}

ValueString ValueString::TakeTailByText(const ValueString& sep) {
    return TakeTail(ReverseFind(sep.text), static_cast<int>(sep.text.size()));
}

ValueString ValueString::TakeTailByChar(char sep) {
    return TakeTail(PositionOf(text.rfind(sep)), 1);
}

ValueString ValueString::TakeTail(int pos, int count) {
    if (pos < 0) return ValueString(std::exchange(text, {}));
    if (static_cast<std::size_t>(pos) >= text.size()) return ValueString();
    ValueString tail(text.substr(EndAfter(pos, count, text.size())));
    text.erase(static_cast<std::size_t>(pos));
    return tail;
}

ValueString& ValueString::RemoveText(const ValueString& sub) {
    return Delete(PositionOf(text.find(sub.text)), static_cast<int>(sub.text.size()));
}

ValueString& ValueString::RemoveChar(char c) {
    return Delete(PositionOf(text.find(c)), 1);
}

ValueString& ValueString::Delete(int pos, int count) {
    if (pos < 0 || static_cast<std::size_t>(pos) >= text.size()) return *this;
    const auto start = static_cast<std::size_t>(pos);
    text.erase(start, EndAfter(pos, count, text.size()) - start);
    return *this;
}

// Every search starts again at the beginning, so an occurrence that a deletion creates goes
// too ('aabb' without 'ab' is ''). The loop ends when a deletion no longer shortens the text,
// which also covers an empty search text.
ValueString& ValueString::RemoveAllText(const ValueString& sub) {
    if (sub.text.empty()) return *this;
    for (auto pos = text.find(sub.text); pos != std::string::npos; pos = text.find(sub.text)) {
        const auto before = text.size();
        Delete(static_cast<int>(pos), static_cast<int>(sub.text.size()));
        if (text.size() >= before) break;
    }
    return *this;
}

ValueString& ValueString::RemoveAllChar(char c) {
    for (auto pos = text.find(c); pos != std::string::npos; pos = text.find(c)) {
        const auto before = text.size();
        Delete(static_cast<int>(pos), 1);
        if (text.size() >= before) break;
    }
    return *this;
}
