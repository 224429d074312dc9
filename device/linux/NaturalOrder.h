#pragma once

#include <string_view>

namespace device {

// Orders names as a person would: runs of digits compare by their value, so ttyUSB2 comes
// before ttyUSB10. Names that differ only in leading zeros fall back to plain byte order.
bool NaturalLess(std::string_view a, std::string_view b);

}  // namespace device
