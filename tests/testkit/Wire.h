#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Wire bytes as the instrument sends and expects them, built here independently of the device's
// own framing so that a fault there cannot hide in shared code.
namespace testkit_test {

// STX, text, ETX, checksum (XOR of STX through ETX) and, unless told otherwise, CR.
std::string Frame(std::string_view text, bool withCR = true);

// STX, text, CR.
std::string ShortFrame(std::string_view text);

// The type query as the host writes it: STX "!" CR and a zero byte.
inline const std::string kTypeQuery("\x02!\r\0", 4);

// A command as the instrument takes it from a frame.
struct Unframed {
    std::string text;
    bool checksummed = false;
};

// The text of STX text ETX checksum CR (with the right checksum) or of STX text CR; nullopt for
// anything else, a text with STX, ETX or CR in it included.
std::optional<Unframed> Unframe(std::string_view written);

// "02 56 03 57 0D": upper-case hex, one blank between bytes.
std::string Hex(std::string_view bytes);

// One line per entry, in Hex, for readable failure messages.
std::string Hex(const std::vector<std::string>& entries);

}  // namespace testkit_test
