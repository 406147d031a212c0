// The platform's file and folder operations on a POSIX file system.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "platform/platform.hpp"

namespace platform {
namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;  // a full disk, a file size limit, an I/O error
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes a rename durable. A file system that cannot sync a directory still has the complete
// new file in place, so a failure here is not a failed replace.
void syncDirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "."
                                  : slash == 0               ? "/"
                                                             : path.substr(0, slash);
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool readFile(const std::string& path, std::size_t maxBytes, std::string& contents,
              std::string& problem) {
    contents.clear();
    // Not blocking: opening a FIFO would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        problem = std::strerror(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        problem = S_ISDIR(status.st_mode) ? std::strerror(EISDIR) : "not a regular file";
        ::close(fd);
        return false;
    }
    // Reads of a regular file never wait; the flag is cleared all the same.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    constexpr std::size_t kChunk = 64 * 1024;
    while (contents.size() < maxBytes) {
        const std::size_t had = contents.size();
        const std::size_t want = std::min(kChunk, maxBytes - had);
        contents.resize(had + want);
        const ssize_t got = ::read(fd, contents.data() + had, want);
        if (got < 0 && errno == EINTR) {
            contents.resize(had);
            continue;
        }
        if (got < 0) {
            problem = std::strerror(errno);
            ::close(fd);
            contents.clear();
            return false;
        }
        contents.resize(had + static_cast<std::size_t>(got));
        if (got == 0) {
            break;
        }
    }
    ::close(fd);
    return true;
}

bool replaceFile(const std::string& path, std::string_view contents) {
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode) &&
        (existing.st_mode & S_IWUSR) == 0) {
        return false;
    }
    // A leftover of an interrupted replace is ours; made anew, the temporary cannot be a FIFO
    // or a link that would hold or misdirect the write.
    const std::string temporary = path + ".new";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    const bool written = writeAll(fd, contents) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncDirectoryOf(path);
    return true;
}

bool isRegularFile(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

bool sameFile(const std::string& first, const std::string& second) {
    struct stat a {};
    struct stat b {};
    return ::stat(first.c_str(), &a) == 0 && ::stat(second.c_str(), &b) == 0 &&
           a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool makePrivateFolder(const std::string& path, std::string& problem) {
    // Each missing folder on the way is made in turn; what made the last one fail is the
    // reason worth telling.
    int error = ENOENT;
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        error = ::mkdir(path.substr(0, end).c_str(), 0700) == 0 ? 0 : errno;
        if (end == std::string::npos) {
            break;
        }
    }
    struct stat status {};
    if (!path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        return true;
    }
    problem = std::strerror(error == 0 || error == EEXIST ? ENOTDIR : error);
    return false;
}

}  // namespace platform
