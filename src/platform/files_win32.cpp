// The platform's file and folder operations on Windows. Paths are UTF-8 with '/' between
// folders, as everywhere in the game; Windows takes '/' as well as '\\'.
#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/platform.hpp"
#include "platform/utf16.hpp"

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

std::string executableFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);  // cut short: a longer path
    }
    const std::string folder = gamePath(path);
    const std::size_t slash = folder.find_last_of('/');
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

std::string userDataFolder() {
    const DWORD size = ::GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (size <= 1) {
        return {};
    }
    std::wstring value(size, L'\0');
    value.resize(::GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), size));
    std::string folder = gamePath(value);
    while (folder.size() > 1 && folder.back() == '/') {
        folder.pop_back();
    }
    return folder;
}

bool isRegularFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(widen(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool sameFile(const std::string& first, const std::string& second) {
    BY_HANDLE_FILE_INFORMATION info[2] = {};
    const std::string* const paths[2] = {&first, &second};
    for (int i = 0; i < 2; ++i) {
        // No access asked for: only the file's identity is read. Folders need the flag.
        const HANDLE file = ::CreateFileW(
            widen(*paths[i]).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            return false;
        }
        const HandleCloser closer{file};
        if (!::GetFileInformationByHandle(file, &info[i])) {
            return false;
        }
    }
    return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
           info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
           info[0].nFileIndexLow == info[1].nFileIndexLow;
}

// A folder made under the user's profile is this user's alone: it takes that folder's
// permissions.
bool makePrivateFolder(const std::string& path, std::string& problem) {
    // Each missing folder on the way is made in turn; what made the last one fail is the
    // reason worth telling.
    DWORD error = ERROR_PATH_NOT_FOUND;
    bool fileInTheWay = false;
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::wstring folder = widen(path.substr(0, end));
        error = ::CreateDirectoryW(folder.c_str(), nullptr) ? 0 : ::GetLastError();
        const DWORD attributes = ::GetFileAttributesW(folder.c_str());
        fileInTheWay = fileInTheWay || (attributes != INVALID_FILE_ATTRIBUTES &&
                                        (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0);
        if (end == std::string::npos) {
            break;
        }
    }
    const DWORD attributes =
        path.empty() ? INVALID_FILE_ATTRIBUTES : ::GetFileAttributesW(widen(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return true;
    }
    problem = fileInTheWay ? "Not a directory" : describeError(error);
    return false;
}

}  // namespace platform
