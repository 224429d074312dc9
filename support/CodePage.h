#pragma once

#include <string>
#include <string_view>

namespace support {

// Converts UTF-16 to the single-byte code page (Windows-1252). A character the code page
// cannot hold, a surrogate pair among them, becomes '?', as does a lone surrogate.
std::string Utf16ToCodePage(std::u16string_view wide);

}  // namespace support
