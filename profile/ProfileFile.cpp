#include "profile/ProfileFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace profile {

bool ReadProfileFile(const std::string& path, Profile& profile, std::string& error) {
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(path, code);
    if (code) {
        error = path + ": cannot be read (" + code.message() + ")";
        return false;
    }
    if (status.type() == std::filesystem::file_type::directory) {
        error = path + ": is a directory";
        return false;
    }
    if (status.type() != std::filesystem::file_type::regular) {
        error = path + ": is not a regular file";
        return false;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, code);
    if (!code && size > kMaxProfileBytes) {
        error = path + ": is too large for a profile (" + std::to_string(size) + " bytes)";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot be read (" + std::strerror(errno) + ")";
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        error = path + ": cannot be read";
        return false;
    }
    if (!ReadProfile(text, profile, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool WriteProfileFile(const std::string& path, const Profile& profile, std::string& error) {
    // Written beside it first, so a failed write never leaves half a profile in its place.
    const std::string part = path + ".part";
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = path + ": cannot be written (" + std::strerror(errno) + ")";
            return false;
        }
        out << WriteProfile(profile);
        out.flush();
        if (!out) {
            error = path + ": cannot be written";
            out.close();
            std::filesystem::remove(part);
            return false;
        }
    }
    std::error_code code;
    std::filesystem::rename(part, path, code);
    if (code) {
        std::filesystem::remove(part, code);
        error = path + ": cannot be written (" + code.message() + ")";
        return false;
    }
    return true;
}

}  // namespace profile
