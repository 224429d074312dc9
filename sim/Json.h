#pragma once

#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace sim::json {

// The little JSON the simulator writes and reads back: one object whose values are integers,
// strings or arrays of integers.
using Value = std::variant<long long, std::string, std::vector<long long>>;
using Object = std::map<std::string, Value, std::less<>>;

// A JSON string literal; bytes outside printable ASCII become \u00XX (read as Latin-1).
std::string Quote(std::string_view text);
// False with a message (and the position) when `text` is not such an object.
bool ParseObject(std::string_view text, Object& object, std::string& error);

}  // namespace sim::json
