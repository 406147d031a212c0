// The file operations on a real file system, in a folder of the test's own: what reaches the
// disk, and the files that must never be waited on, written through or replaced.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "console/platform.hpp"

namespace {

namespace fs = std::filesystem;

class Files : public testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "pervaro-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder_ = pattern;
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    std::string path(const std::string& name) const { return folder_ + "/" + name; }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name), std::ios::binary) << text;
    }
    std::string contents(const std::string& name) const {
        std::ifstream in(path(name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::string folder_;
};

TEST_F(Files, ReadTakesTheStartOfARegularFileAndRefusesTheRestAtOnce) {
    write("map.txt", "3 1 2 9\n9 1 2\n");
    write("empty", "");
    fs::create_directory(path("folder"));
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);  // no writer: an open would wait for ever
    struct Case {
        std::string path;
        std::size_t maxBytes;
        bool read;
        std::string result;  // the contents, or the problem
    };
    const Case cases[] = {
        {path("map.txt"), 1000, true, "3 1 2 9\n9 1 2\n"},
        {path("map.txt"), 5, true, "3 1 2"},
        {path("empty"), 1000, true, ""},
        {path("missing"), 1000, false, "No such file or directory"},
        {path("folder"), 1000, false, "Is a directory"},
        {path("fifo"), 1000, false, "not a regular file"},
        {"/dev/zero", 1000, false, "not a regular file"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        std::string text = "stale";
        std::string problem;
        EXPECT_EQ(platform::readFile(c.path, c.maxBytes, text, problem), c.read);
        EXPECT_EQ(c.read ? text : problem, c.result);
        if (!c.read) {
            EXPECT_EQ(text, "");
        }
    }
}

TEST_F(Files, ReplaceWritesTheWholeFileAndLeavesNoTemporary) {
    EXPECT_TRUE(platform::replaceFile(path("save.bin"), std::string(300, 'a')));
    EXPECT_EQ(contents("save.bin"), std::string(300, 'a'));
    EXPECT_TRUE(platform::replaceFile(path("save.bin"), "short"));
    EXPECT_EQ(contents("save.bin"), "short");
    // A leftover temporary that is a FIFO (which would hold the write) or a link to another
    // file (which would be written through) is replaced, not opened.
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

TEST_F(Files, AFailedReplaceKeepsTheOldFile) {
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

    // Made read-only by its owner.
    fs::permissions(path("save.bin"), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(platform::replaceFile(path("save.bin"), "new"));
    EXPECT_EQ(contents("save.bin"), "old");
    // A directory in its place, and a folder that is not there.
    fs::create_directory(path("folder"));
    EXPECT_FALSE(platform::replaceFile(path("folder"), "new"));
    EXPECT_TRUE(fs::is_directory(path("folder")));
    EXPECT_FALSE(platform::replaceFile(path("missing/save.bin"), "new"));
    EXPECT_FALSE(fs::exists(path("folder.new")));
}

}  // namespace
