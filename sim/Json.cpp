#include "sim/Json.h"

namespace sim::json {

std::string FromBytes(std::string_view bytes) {
    std::string utf8;
    utf8.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

bool ToBytes(const Json& value, std::string& bytes) {
    if (!value.is_string()) return false;
    const auto& utf8 = value.get_ref<const std::string&>();
    std::string decoded;
    decoded.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            decoded += utf8[i];
            continue;
        }
        // U+0080..U+00FF are the two-byte sequences with lead byte C2 or C3.
        if ((lead != 0xC2 && lead != 0xC3) || i + 1 == utf8.size()) return false;
        const auto next = static_cast<unsigned char>(utf8[++i]);
        if ((next & 0xC0) != 0x80) return false;
        decoded += static_cast<char>(((lead & 0x03) << 6) | (next & 0x3F));
    }
    bytes = std::move(decoded);
    return true;
}

std::string Dump(const OrderedJson& value) {
    return value.dump(-1, ' ', true);
}

bool ParseObject(std::string_view text, Json& object, std::string& error) {
    // The parser takes a zero byte for the end of the text and would ignore what follows it.
    if (const auto zero = text.find('\0'); zero != std::string_view::npos) {
        error = "a zero byte at offset " + std::to_string(zero);
        return false;
    }
    Json parsed;
    try {
        parsed = Json::parse(text);
    } catch (const Json::exception& e) {
        // A syntax error or a number beyond the double range ("1e999"). what() begins with the
        // library's own tag, "[json.exception.parse_error.101] ".
        const std::string_view message = e.what();
        const auto tagEnd = message.find("] ");
        error = tagEnd == std::string_view::npos ? message : message.substr(tagEnd + 2);
        return false;
    }
    if (!parsed.is_object()) {
        error = "expected a JSON object, found " + std::string(parsed.type_name());
        return false;
    }
    object = std::move(parsed);
    return true;
}

}  // namespace sim::json
