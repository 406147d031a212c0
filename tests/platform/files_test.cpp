// The file operations on the real file system, in a folder of the test's own: what reaches the
// disk, and the files that must never be waited on, written through or replaced.
#include "platform/files_test.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "console/platform.hpp"

namespace fs = std::filesystem;

void FilesTest::SetUp() {
    std::random_device random;
    folder_ = fs::temp_directory_path() / ("pervaro-files-" + std::to_string(random()));
    ASSERT_TRUE(fs::create_directory(folder_));
}

void FilesTest::TearDown() {
    std::error_code ignored;
    fs::permissions(path("save.bin"), fs::perms::owner_write, fs::perm_options::add, ignored);
    fs::remove_all(folder_, ignored);
}

std::string FilesTest::path(const std::string& name) const {
    return (folder_ / name).string();
}

void FilesTest::write(const std::string& name, const std::string& text) const {
    std::ofstream(folder_ / name, std::ios::binary) << text;
}

std::string FilesTest::contents(const std::string& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

namespace {

using Files = FilesTest;

TEST_F(Files, ReadTakesTheStartOfARegularFileAndRefusesTheRest) {
    write("map.txt", "3 1 2 9\n9 1 2\n");
    write("empty", "");
    fs::create_directory(path("folder"));
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
        {path("missing/map.txt"), 1000, false, "No such file or directory"},
        {path("folder"), 1000, false, "Is a directory"},
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
    write("save.bin.new", "left over from an interrupted save");
    EXPECT_TRUE(platform::replaceFile(path("save.bin"), std::string("\0\1\2\xff", 4)));
    EXPECT_EQ(contents("save.bin"), std::string("\0\1\2\xff", 4));
    EXPECT_FALSE(fs::exists(path("save.bin.new")));
}

TEST_F(Files, AFailedReplaceKeepsTheOldFile) {
    write("save.bin", "old");
    fs::permissions(path("save.bin"), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(platform::replaceFile(path("save.bin"), "new")) << "made read-only by its owner";
    EXPECT_EQ(contents("save.bin"), "old");
    fs::create_directory(path("folder"));
    EXPECT_FALSE(platform::replaceFile(path("folder"), "new"));
    EXPECT_TRUE(fs::is_directory(path("folder")));
    EXPECT_FALSE(fs::exists(path("folder.new")));
    EXPECT_FALSE(platform::replaceFile(path("missing/save.bin"), "new"));
}

}  // namespace
