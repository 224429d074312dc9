#pragma once

#include <string>
#include <string_view>

#include "support/Bool.h"

class SerialDevice;

namespace device {

// The instrument's two frames. The checksummed frame is STX, text, ETX, a checksum byte (XOR of
// every byte from STX through ETX) and, in its CR variant, CR. The short frame is STX, text, CR:
// the identification queries use it, and so does every command to an instrument that was not
// identified as "+VT".
enum class Framing { Checksummed, Short };

// The framing of commands to an instrument with this stored type code.
Framing FramingOfType(std::string_view typeCode);

std::string ChecksummedFrame(std::string_view text, bool withCR);
std::string ShortFrame(std::string_view text);

// Removes the leading run of STX and the trailing run of CR; those bytes inside the text stay.
void StripShortFrame(std::string& reply);

// Reads one checksummed reply through the device's transport: the text up to the ETX under the
// device's time-out, then the checksum and (when expected) the CR within 100 ms each. Bytes
// before the STX are skipped. Returns the text's length, or a negative ReplyCode with the reason
// in the device's last error text. Time-out and terminator are restored on every path.
int ReadChecksummedReply(SerialDevice& device, std::string& strOut, BOOL bExpectCR);

// One write of the text in the framing (the checksummed frame with its CR).
BOOL WriteFrame(SerialDevice& device, Framing framing, std::string_view text);

// One reply in the framing, its text without the framing: the length, or the reader's result
// when that is 0 or less. nothingRead, when given, tells a reply that never came from an empty
// one (the short frame's reader gives 0 for both).
int ReadFrame(SerialDevice& device, Framing framing, std::string& reply,
              bool* nothingRead = nullptr);

}  // namespace device
