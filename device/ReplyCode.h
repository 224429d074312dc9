#pragma once

#include <string>
#include <string_view>

namespace device {

// Why a framed reply or an identification answer could not be read. The values are those that
// the reader returns and that its error messages print.
enum class ReplyCode : int {
    Ok = 0,
    NothingRead = -1,
    StxNotFound = -2,
    EtxNotFound = -3,       // framed replies only
    ChecksumNotFound = -4,  // framed replies only
    CrNotFound = -5,
    ChecksumMismatch = -6,  // framed replies only
    WriteFailed = -7,       // identification queries only
};

// The code's text, e.g. "string read but Stx not found".
std::string_view ReplyCodeText(ReplyCode code);

// "ERR: -2 ReadKelvaString - string read but Stx not found": the start of the device's last
// error text after a failed read; the operation adds its own details.
std::string ReplyCodeMessage(ReplyCode code, std::string_view operation);

}  // namespace device
