#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace sim::json {

// What is read. Its objects are sorted maps: an ordered object grows by copying its members,
// and a copy recurses through every level of a deeply nested value.
using Json = nlohmann::json;
// What is written: objects keep their keys in the order they were added, so files and log
// lines read in a fixed order.
using OrderedJson = nlohmann::ordered_json;

// The instrument's texts are bytes of a single-byte code page. In JSON each byte is the
// character with the same number (Latin-1), so any byte, a zero or a control byte included,
// survives the trip through a file.
std::string FromBytes(std::string_view bytes);  // the UTF-8 text of the JSON string
// False when `value` is not a string or holds a character beyond U+00FF.
bool ToBytes(const Json& value, std::string& bytes);

// One line of ASCII: every other character is written as a \u escape.
std::string Dump(const OrderedJson& value);
// False with a message (line and column) when `text` is not one JSON object; `object` is left
// as it was then. Never throws.
bool ParseObject(std::string_view text, Json& object, std::string& error);

}  // namespace sim::json
