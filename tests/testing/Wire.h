#pragma once

#include <string>
#include <string_view>
#include <vector>

// Wire bytes as the instrument sends and expects them, built here independently of the device's
// own framing so that a fault there cannot hide in shared code.
namespace testing_test {

// STX, text, ETX, checksum (XOR of STX through ETX) and, unless told otherwise, CR.
std::string Frame(std::string_view text, bool withCR = true);

// STX, text, CR.
std::string ShortFrame(std::string_view text);

// "02 56 03 57 0D": upper-case hex, one blank between bytes.
std::string Hex(std::string_view bytes);

// One line per entry, in Hex, for readable failure messages.
std::string Hex(const std::vector<std::string>& entries);

}  // namespace testing_test
