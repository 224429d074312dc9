#include "profile/ProfileFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace profile {

bool ReadProfileFile(const std::string& path, Profile& profile, std::string& error) {
    const auto fail = [&](const std::string& what) {
        error = path + ": " + what;
        return false;
    };
    std::error_code code;
    const std::filesystem::file_status status = std::filesystem::status(path, code);
    if (code) return fail(code.message());
    if (std::filesystem::is_directory(status)) return fail("is a directory");
    if (!std::filesystem::is_regular_file(status)) return fail("is not a regular file");
    std::ifstream in(path, std::ios::binary);
    if (!in) return fail("cannot be opened");
    // The size may change between the look and the read: the read itself is bounded too.
    std::string text(kMaxProfileBytes + 1, '\0');
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    if (in.bad()) return fail("cannot be read");
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (text.size() > kMaxProfileBytes) return fail("is larger than 1 MiB, which no profile is");
    if (!ReadProfile(text, profile, error)) return fail(error);
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
