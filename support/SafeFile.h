#pragma once

// Files written as trusted tools write them: a file that replaces another appears whole or not
// at all, and a file opened for writing is never reached through a symbolic link or a name that
// someone else planted in a folder that others can write to (/tmp).
//   std::string error;
//   // The old file stays as it was when this fails.
//   if (!support::WriteFileAtomically("reader.json", text, error)) ...
//   // Never replaces a file.
//   support::OutputFile trace;
//   if (!support::CreateNewFile("line.trace", trace, error)) ...
//   std::fputs("...", trace.get());

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace support {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using OutputFile = std::unique_ptr<std::FILE, FileCloser>;

// Writes `content` to a new temporary file made exclusively in the folder of `path`, flushes it
// to the disk and renames it over `path`. A link at `path` is replaced, not followed. On any
// failure the old file is left as it was and the temporary file is removed. The new file gets
// the old file's permissions, or the usual ones (as the umask allows) when there was none.
// False with "PATH: reason".
bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error);

// Creates `path` as a new, empty file. Anything already under that name (a file, a link, a
// folder) is refused, so an earlier file is never replaced and no planted link is followed.
bool CreateNewFile(const std::string& path, OutputFile& file, std::string& error);

// Opens `path` for appending, creating it when it is missing. A symbolic link, anything that is
// not a regular file, and, in a folder that others can write to, a file of another user or
// with a second name (a hard link) are refused.
bool OpenForAppend(const std::string& path, OutputFile& file, std::string& error);

}  // namespace support
