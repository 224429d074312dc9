#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "support/SafeFile.h"

namespace support {
namespace {

bool Fail(std::string& error, const std::string& path, const std::string& why) {
    error = path + ": " + why;
    return false;
}

bool FailErrno(std::string& error, const std::string& path) {
    return Fail(error, path, std::strerror(errno));
}

// "a/b/c" -> "a/b/", "c" -> "" (the current folder).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Another user may add, replace or remove names in the folder.
bool SharedFolder(const std::string& path) {
    const std::string folder = FolderOf(path);
    struct stat info {};
    if (stat(folder.empty() ? "." : folder.c_str(), &info) != 0) return true;
    return (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 || info.st_uid != geteuid();
}

// The permissions a newly created file gets.
mode_t UsualMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view content) {
    while (!content.empty()) {
        const ssize_t n = write(fd, content.data(), content.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        content.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool AsStream(int fd, const char* mode, const std::string& path, OutputFile& file,
              std::string& error) {
    file.reset(fdopen(fd, mode));
    if (file != nullptr) return true;
    const int saved = errno;
    close(fd);
    errno = saved;
    return FailErrno(error, path);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error) {
    if (path.empty() || path.back() == '/') return Fail(error, path, "not a file name");
    std::string temporary = FolderOf(path) + "." + NameOf(path) + ".XXXXXX";
    std::vector<char> name(temporary.begin(), temporary.end());
    name.push_back('\0');
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return FailErrno(error, path);
    temporary = name.data();

    struct stat old {};
    const mode_t mode =
        stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode) ? (old.st_mode & 07777) : UsualMode();
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, content) && fsync(fd) == 0;
    int saved = errno;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temporary.c_str(), path.c_str()) == 0) {
        // The rename itself reaches the disk with the folder.
        const std::string folder = FolderOf(path);
        const int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
        if (dir >= 0) {
            fsync(dir);
            close(dir);
        }
        return true;
    }
    if (ok) saved = errno;
    unlink(temporary.c_str());
    errno = saved;
    return FailErrno(error, path);
}

bool CreateNewFile(const std::string& path, OutputFile& file, std::string& error) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == EEXIST) return Fail(error, path, "exists already, and is not replaced");
        return FailErrno(error, path);
    }
    return AsStream(fd, "w", path, file, error);
}

bool OpenForAppend(const std::string& path, OutputFile& file, std::string& error) {
    // Non-blocking, so that a planted FIFO cannot hold the program at the open.
    const int fd = open(path.c_str(),
                        O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) {
        if (errno == ELOOP) return Fail(error, path, "is a symbolic link, which is not followed");
        return FailErrno(error, path);
    }
    struct stat info {};
    std::string why;
    if (fstat(fd, &info) != 0) {
        why = std::strerror(errno);
    } else if (!S_ISREG(info.st_mode)) {
        why = "is not a regular file";
    } else if (SharedFolder(path) && (info.st_uid != geteuid() || info.st_nlink != 1)) {
        why = "belongs to another user or has another name, in a folder that others can write to";
    } else if (fcntl(fd, F_SETFL, O_APPEND) != 0) {
        why = std::strerror(errno);
    }
    if (!why.empty()) {
        close(fd);
        return Fail(error, path, why);
    }
    return AsStream(fd, "a", path, file, error);
}

}  // namespace support
