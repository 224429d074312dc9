#pragma once

// Profiles in files, for both faces: read through the strict reader, written through the one
// writer.

#include <cstddef>
#include <string>

#include "profile/Profile.h"

namespace profile {

// Profiles are small; a larger file is no profile and is not read whole.
inline constexpr std::size_t kMaxProfileBytes = 1024 * 1024;

// False with a message that begins with the path: the file cannot be read, is no regular file
// or is larger than kMaxProfileBytes (never more than that is read), or the reader's message
// naming the key.
bool ReadProfileFile(const std::string& path, Profile& profile, std::string& error);
// Writes the profile to path, replacing a file there only once the whole text is written. False
// with a message that begins with the path.
bool WriteProfileFile(const std::string& path, const Profile& profile, std::string& error);

}  // namespace profile
