// The file operations on a POSIX file system: files that must never be waited on or written
// through, and a write the disk cuts short.
#include "platform/files_test.hpp"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "console/platform.hpp"

namespace fs = std::filesystem;

namespace {

using PosixFiles = FilesTest;

TEST_F(PosixFiles, ReadRefusesAFifoOrADeviceAtOnce) {
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);  // no writer: an open would wait for ever
    for (const std::string& special : {path("fifo"), std::string("/dev/zero")}) {
        SCOPED_TRACE(special);
        std::string text;
        std::string problem;
        EXPECT_FALSE(platform::readFile(special, 1000, text, problem));
        EXPECT_EQ(problem, "not a regular file");
    }
}

// A leftover temporary that is a FIFO (which would hold the write) or a link to another file
// (which would be written through) is replaced, not opened.
TEST_F(PosixFiles, ALeftoverTemporaryIsReplacedNotOpened) {
    write("other", "keep");
    fs::create_symlink(path("other"), path("save.bin.new"));
    EXPECT_TRUE(platform::replaceFile(path("save.bin"), "linked"));
    ASSERT_EQ(::mkfifo(path("save.bin.new").c_str(), 0600), 0);
    EXPECT_TRUE(platform::replaceFile(path("save.bin"), "fifo"));
    EXPECT_EQ(contents("save.bin"), "fifo");
    EXPECT_EQ(contents("other"), "keep");
    EXPECT_FALSE(fs::exists(path("save.bin.new")));
    EXPECT_FALSE(fs::is_symlink(path("save.bin")));
}

TEST_F(PosixFiles, AWriteCutShortKeepsTheOldFile) {
    write("save.bin", "old");
    // Cut short by a file size limit, in a child so the limit stays there.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        limit.rlim_cur = 50;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(platform::replaceFile(path("save.bin"), std::string(108, 'n')) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "a short write was reported";
    EXPECT_EQ(contents("save.bin"), "old");
    EXPECT_FALSE(fs::exists(path("save.bin.new")));
}

}  // namespace
