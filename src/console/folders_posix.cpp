// The platform's questions about files and folders on a POSIX file system. Linked into the
// game and into the tests alike: the tests work in temporary folders of their own.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "console/platform.hpp"

namespace platform {

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
