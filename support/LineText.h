#pragma once

// Bytes from the serial line as a reader can take them in: printable ASCII as it is, control
// bytes by their names, other bytes in hex, and the checksum byte that follows an ETX marked
// as such, so that it is never read as part of a reply's text:
//   LineText("\x02+\x03+\r") == "<STX>+<ETX><sum 2B><CR>"

#include <string>
#include <string_view>

namespace support {

std::string LineText(std::string_view bytes);
// The text of `count` bytes from `first` on; the bytes before them only tell whether the first
// one is a checksum.
std::string LineText(std::string_view bytes, std::size_t first, std::size_t count);

}  // namespace support
