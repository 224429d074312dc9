#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <random>

#include "support/SafeFile.h"

namespace support {
namespace {

bool Fail(std::string& error, const std::string& path, const std::string& why) {
    error = path + ": " + why;
    return false;
}

std::string SystemMessage(DWORD code) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n > 0 ? std::string(text, n) : "error " + std::to_string(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == '.' || message.back() == ' ')) {
        message.pop_back();
    }
    return message;
}

bool FailLast(std::string& error, const std::string& path) {
    return Fail(error, path, SystemMessage(GetLastError()));
}

// "a\b\c" or "a/b/c" -> "a\b\" or "a/b/"; "c" -> "".
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\:");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
    return path.substr(FolderOf(path).size());
}

bool AsStream(HANDLE handle, int flags, const char* mode, const std::string& path, OutputFile& file,
              std::string& error) {
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
    if (fd < 0) {
        CloseHandle(handle);
        return Fail(error, path, "cannot use the file");
    }
    file.reset(_fdopen(fd, mode));
    if (file != nullptr) return true;
    _close(fd);
    return Fail(error, path, "cannot use the file");
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view content, std::string& error) {
    if (path.empty() || NameOf(path).empty()) return Fail(error, path, "not a file name");
    std::random_device random;
    std::string temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 16 && handle == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = FolderOf(path) + "." + NameOf(path) + "." + std::to_string(random()) + ".tmp";
        handle = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (handle == INVALID_HANDLE_VALUE) return FailLast(error, path);
    bool ok = true;
    while (ok && !content.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 20));
        ok = WriteFile(handle, content.data(), chunk, &written, nullptr) && written > 0;
        content.remove_prefix(written);
    }
    ok = ok && FlushFileBuffers(handle);
    DWORD saved = GetLastError();
    ok = CloseHandle(handle) && ok;
    if (ok && MoveFileExA(temporary.c_str(), path.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    if (ok) saved = GetLastError();
    DeleteFileA(temporary.c_str());
    return Fail(error, path, SystemMessage(saved));
}

bool CreateNewFile(const std::string& path, OutputFile& file, std::string& error) {
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_EXISTS || code == ERROR_ALREADY_EXISTS) {
            return Fail(error, path, "exists already, and is not replaced");
        }
        return Fail(error, path, SystemMessage(code));
    }
    return AsStream(handle, _O_WRONLY | _O_BINARY, "wb", path, file, error);
}

bool OpenForAppend(const std::string& path, OutputFile& file, std::string& error) {
    // The link itself is opened, not what it points to, and then refused.
    const HANDLE handle =
        CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return FailLast(error, path);
    BY_HANDLE_FILE_INFORMATION info{};
    std::string why;
    if (!GetFileInformationByHandle(handle, &info)) {
        why = SystemMessage(GetLastError());
    } else if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        why = "is a symbolic link, which is not followed";
    } else if (GetFileType(handle) != FILE_TYPE_DISK || info.nNumberOfLinks != 1) {
        why = "is not a regular file with one name";
    }
    if (!why.empty()) {
        CloseHandle(handle);
        return Fail(error, path, why);
    }
    return AsStream(handle, _O_WRONLY | _O_APPEND | _O_BINARY, "ab", path, file, error);
}

}  // namespace support
