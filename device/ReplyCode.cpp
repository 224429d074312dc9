#include "device/ReplyCode.h"

#include <array>
#include <utility>

namespace device {

namespace {

constexpr std::array<std::pair<ReplyCode, std::string_view>, 7> kTexts{{
    {ReplyCode::NothingRead, "nothing read"},
    {ReplyCode::StxNotFound, "string read but Stx not found"},
    {ReplyCode::EtxNotFound, "string read but Etx not found"},
    {ReplyCode::ChecksumNotFound, "string read but Checksum not found"},
    {ReplyCode::CrNotFound, "string read but <CR> not found"},
    {ReplyCode::ChecksumMismatch, "Checksum did not fit"},
    {ReplyCode::WriteFailed, "could not write"},
}};

}  // namespace

std::string_view ReplyCodeText(ReplyCode code) {
    for (const auto& [known, text] : kTexts) {
        if (known == code) return text;
    }
    return {};
}

std::string ReplyCodeMessage(ReplyCode code, std::string_view operation) {
    std::string message = "ERR: " + std::to_string(static_cast<int>(code)) + " ";
    message += operation;
    message += " - ";
    message += ReplyCodeText(code);
    return message;
}

}  // namespace device
