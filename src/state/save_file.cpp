#include "state/save_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "console/console.hpp"
#include "console/screen.hpp"
#include "state/regular_file.hpp"
#include "state/save_record.hpp"

namespace {

const char* const kSaveFileName = "save.bin";
// The new save is written here first and renamed over save.bin only once it is complete, so
// an interrupted save leaves the previous one as it was.
const char* const kNewSaveFileName = "save.bin.new";

void reportFailure() {
    printText("%sのオープンが失敗しました\n", kSaveFileName);
}

bool writeAll(int fd, const unsigned char* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, bytes + done, size - done);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (written == 0) {
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Reads up to size bytes; returns how many were read, or -1 on an error.
ssize_t readUpTo(int fd, unsigned char* bytes, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::read(fd, bytes + done, size - done);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return -1;
        }
        if (got == 0) {
            break;
        }
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done);
}

// Makes the rename itself durable; a file system that cannot sync a directory still has the
// complete new file in place, so a failure here is not a failed save.
void syncDirectory() {
    const int fd = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

bool writeSaveFile(const SaveBytes& bytes) {
    // A save its owner made read-only is kept, as writing it in place would; the rename below
    // would replace it regardless.
    struct stat existing {};
    if (::stat(kSaveFileName, &existing) == 0 && S_ISREG(existing.st_mode) &&
        (existing.st_mode & S_IWUSR) == 0) {
        return false;
    }
    // A leftover of an interrupted save is ours to replace; made anew, it cannot be a FIFO or a
    // link that would hold or misdirect the write.
    ::unlink(kNewSaveFileName);
    const int fd = ::open(kNewSaveFileName, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    const bool written = writeAll(fd, bytes.data(), bytes.size()) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(kNewSaveFileName, kSaveFileName) != 0) {
        ::unlink(kNewSaveFileName);
        return false;
    }
    syncDirectory();
    return true;
}

}  // namespace

void saveGame() {
    if (!writeSaveFile(encodeSaveRecord(captureSaveRecord()))) {
        reportFailure();
        return;
    }
    clearPromptLine(0);
    printPlain("セーブが完了しました");
}

void loadGame() {
    const int fd = openRegularFile(kSaveFileName);
    if (fd < 0) {
        reportFailure();
        return;
    }
    // A longer file loads its first 108 bytes, as it always has.
    unsigned char bytes[kSaveRecordSize];
    const ssize_t size = readUpTo(fd, bytes, sizeof bytes);
    ::close(fd);
    SaveRecord record{};
    if (size < 0 || !decodeSaveRecord(bytes, static_cast<std::size_t>(size), record)) {
        reportFailure();  // short or unreadable: the game stays as it is
        return;
    }
    applySaveRecord(record);
    clearPromptLine(0);
    printPlain("ロードが完了しました");
}
