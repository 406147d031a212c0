// The platform's file operations on Windows. Paths are UTF-8, as everywhere in the game.
#include <windows.h>

#include <algorithm>
#include <string>

#include "console/platform.hpp"
#include "console/utf16.hpp"

namespace platform {
namespace {

// The same few words the POSIX platform gives, so a map error reads alike everywhere.
std::string describeError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
            return "No such file or directory";
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            return "Permission denied";
        default:
            return "Windows error " + std::to_string(error);
    }
}

struct HandleCloser {
    HANDLE handle;
    ~HandleCloser() { ::CloseHandle(handle); }
};

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1 << 20));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;  // a full disk, a quota, an I/O error
        }
        bytes.remove_prefix(written);
    }
    return true;
}

}  // namespace

bool readFile(const std::string& path, std::size_t maxBytes, std::string& contents,
              std::string& problem) {
    contents.clear();
    const std::wstring name = widen(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        problem = describeError(::GetLastError());
        return false;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        problem = "Is a directory";
        return false;
    }
    const HANDLE file = ::CreateFileW(name.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        problem = describeError(::GetLastError());
        return false;
    }
    const HandleCloser closer{file};
    // A device (CON, NUL, a serial port) or a pipe would be read from, or waited on, for ever.
    if (::GetFileType(file) != FILE_TYPE_DISK) {
        problem = "not a regular file";
        return false;
    }
    constexpr std::size_t kChunk = 64 * 1024;
    while (contents.size() < maxBytes) {
        const std::size_t had = contents.size();
        const DWORD want = static_cast<DWORD>(std::min(kChunk, maxBytes - had));
        contents.resize(had + want);
        DWORD got = 0;
        if (!::ReadFile(file, contents.data() + had, want, &got, nullptr)) {
            problem = describeError(::GetLastError());
            contents.clear();
            return false;
        }
        contents.resize(had + got);
        if (got == 0) {
            break;
        }
    }
    return true;
}

bool replaceFile(const std::string& path, std::string_view contents) {
    const std::wstring name = widen(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;  // its owner made it read-only: kept, as a write in place would keep it
    }
    // A leftover of an interrupted replace is ours; the temporary is always made anew.
    const std::wstring temporary = widen(path + ".new");
    ::DeleteFileW(temporary.c_str());
    const HANDLE file = ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool written = writeAll(file, contents) && ::FlushFileBuffers(file);
    const bool closed = ::CloseHandle(file);
    // Write-through: the rename is on the disk when the call returns.
    if (!written || !closed ||
        !::MoveFileExW(temporary.c_str(), name.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
