#pragma once

// Reading an integer typed into an edit box: optional blanks, an optional sign, decimal
// digits, optional blanks, and a value within int's range. Anything else is no integer.
//   framework::ParseInteger(" -42 ") == -42;  framework::ParseInteger("4x") == std::nullopt

#include <optional>
#include <string_view>

namespace framework {

std::optional<int> ParseInteger(std::string_view text);

}  // namespace framework
