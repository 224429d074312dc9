#include "support/PortPath.h"

#include <filesystem>
#include <system_error>

namespace support {

std::string PortPath(const std::string& given) {
    const std::filesystem::path path(given);
    std::error_code error;
    if (path.is_absolute() || !std::filesystem::exists(path, error)) return given;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? given : absolute.lexically_normal().string();
}

bool SamePort(const std::string& a, const std::string& b) {
    if (PortPath(a) == PortPath(b)) return true;
    // Links and ".." resolved; a name that is no file has no such form.
    std::error_code errorA;
    std::error_code errorB;
    const std::filesystem::path realA = std::filesystem::canonical(a, errorA);
    const std::filesystem::path realB = std::filesystem::canonical(b, errorB);
    return !errorA && !errorB && realA == realB;
}

}  // namespace support
