// The file and folder operations on the real file system, in a folder of the test's own: what
// reaches the disk, and the files that must never be waited on, written through or replaced.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/platform.hpp"

namespace fs = std::filesystem;

namespace {

class Files : public testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(fs::create_directory(folder_)); }
    void TearDown() override { fs::remove_all(folder_, ignored_); }
    // With '/' between folders, as the game's paths are.
    std::string path(const std::string& name) const { return (folder_ / name).generic_string(); }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    std::string contents(const std::string& name) const {
        std::ifstream in(folder_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    std::error_code ignored_;
    const fs::path folder_ = fs::temp_directory_path() /
                             ("pervaro-files-" + std::to_string(platform::monotonicMicros()));
};

TEST_F(Files, ReadTakesTheStartOfARegularFileAndRefusesTheRest) {
    write("map.txt", "3 1 2 9\n9 1 2\n");
    fs::create_directory(path("folder"));
    // The path, how much to read, whether it is read, the contents or the problem ("" for any).
    const std::tuple<std::string, std::size_t, bool, std::string> cases[] = {
        {path("map.txt"), 1000, true, "3 1 2 9\n9 1 2\n"},
        {path("map.txt"), 5, true, "3 1 2"},
        {path("missing"), 1000, false, "No such file or directory"},
        {path("folder"), 1000, false, "Is a directory"},
    // Neither read nor waited on: a FIFO without a writer, devices (CON would wait for keys).
#ifdef _WIN32
        {"NUL", 1000, false, ""},
        {"CON", 1000, false, ""},
        {"CONIN$", 1000, false, ""},
#else
        {path("fifo"), 1000, false, "not a regular file"},
        {"/dev/zero", 1000, false, "not a regular file"},
#endif
    };
#ifndef _WIN32
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    ::alarm(20);  // a read that waits for a writer ends this test, not the whole run
#endif
    for (const auto& [file, maxBytes, read, result] : cases) {
        SCOPED_TRACE(file);
        std::string text = "stale";
        std::string problem;
        ASSERT_EQ(platform::readFile(file, maxBytes, text, problem), read);
        EXPECT_EQ(read ? text : result.empty() ? "" : problem, result);
        EXPECT_TRUE(read || (text.empty() && !problem.empty())) << problem;
    }
#ifndef _WIN32
    ::alarm(0);
#endif
}

TEST_F(Files, ReplaceWritesTheWholeFileAndLeavesNoTemporary) {
    EXPECT_TRUE(platform::replaceFile(path("save.bin"), std::string(300, 'a')));
    EXPECT_EQ(contents("save.bin"), std::string(300, 'a'));
    write("save.bin.new", "left over from an interrupted save");
    EXPECT_TRUE(platform::replaceFile(path("save.bin"), std::string("\0\1\2\xff", 4)));
    EXPECT_EQ(contents("save.bin"), std::string("\0\1\2\xff", 4));
    EXPECT_FALSE(fs::exists(path("save.bin.new")));
#ifndef _WIN32
    // A leftover that is a link to another file (written through) or a FIFO (which would hold
    // the write) is replaced, not opened.
    write("other", "keep");
    fs::create_symlink(path("other"), path("save.bin.new"));
    EXPECT_TRUE(platform::replaceFile(path("save.bin"), "linked"));
    ASSERT_EQ(contents("other"), "keep");
    EXPECT_FALSE(fs::is_symlink(path("save.bin")));
    ASSERT_EQ(::mkfifo(path("save.bin.new").c_str(), 0600), 0);
    EXPECT_TRUE(platform::replaceFile(path("save.bin"), "fifo"));
    EXPECT_EQ(contents("save.bin"), "fifo");
    EXPECT_FALSE(fs::exists(path("save.bin.new")));
#endif
}

TEST_F(Files, AFailedReplaceKeepsTheOldFile) {
    write("save.bin", "old");
    fs::permissions(path("save.bin"), fs::perms::owner_write, fs::perm_options::remove);
    EXPECT_FALSE(platform::replaceFile(path("save.bin"), "new")) << "made read-only by its owner";
    EXPECT_EQ(contents("save.bin"), "old");
    fs::permissions(path("save.bin"), fs::perms::owner_write, fs::perm_options::add);
    fs::create_directory(path("folder"));
    EXPECT_FALSE(platform::replaceFile(path("folder"), "new"));
    EXPECT_TRUE(fs::is_directory(path("folder")));
    EXPECT_FALSE(fs::exists(path("folder.new")));
    EXPECT_FALSE(platform::replaceFile(path("missing/save.bin"), "new"));
#ifndef _WIN32
    // Cut short by a file size limit, in a child so the limit stays there.
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{50, 50};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(platform::replaceFile(path("save.bin"), std::string(108, 'n')) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "a short write was reported";
    EXPECT_EQ(contents("save.bin"), "old");
    EXPECT_FALSE(fs::exists(path("save.bin.new")));
#endif
}

TEST_F(Files, FoldersAreMadeWithTheirParentsAndAFileInTheWayIsTold) {
    const std::string made = path("a/b/pervaro");
    std::string problem;
    ASSERT_TRUE(platform::makePrivateFolder(made, problem)) << problem;
    EXPECT_TRUE(platform::makePrivateFolder(made + "/", problem)) << "one that is there already";
    EXPECT_TRUE(fs::is_directory(made));
#ifndef _WIN32
    for (const char* folder : {"a", "a/b", "a/b/pervaro"}) {
        EXPECT_EQ(fs::status(path(folder)).permissions(), fs::perms::owner_all) << folder;
    }
    // One that is there already is used as the player left it.
    fs::permissions(made, fs::perms::group_read, fs::perm_options::add);
    EXPECT_TRUE(platform::makePrivateFolder(made, problem));
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all | fs::perms::group_read);
#endif
    write("file", "x");
    for (const std::string& blocked : {path("file"), path("file/pervaro")}) {
        problem.clear();
        EXPECT_FALSE(platform::makePrivateFolder(blocked, problem)) << blocked;
        EXPECT_EQ(problem, "Not a directory") << blocked;
    }
    EXPECT_FALSE(platform::makePrivateFolder("", problem));

    EXPECT_TRUE(platform::isRegularFile(path("file")));
    EXPECT_FALSE(platform::isRegularFile(made));
    EXPECT_FALSE(platform::isRegularFile(path("none")));
#ifdef _WIN32
    const char* const sameName = "/../../../FILE";  // names that differ only in case are one
#else
    const char* const sameName = "/../../../file";
#endif
    EXPECT_TRUE(platform::sameFile(path("file"), made + sameName));
    EXPECT_FALSE(platform::sameFile(path("file"), made));
    EXPECT_FALSE(platform::sameFile(path("none"), path("none")));
}

// Sets an environment variable; null unsets it.
void setVariable(const char* name, const char* value) {
#ifdef _WIN32
    ::SetEnvironmentVariableA(name, value);
#else
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
#endif
}

TEST(Folders, TheUsersDataFolderFromTheEnvironmentAndTheExecutablesFolder) {
    struct Row {
        const char* data;  // null: unset
        const char* home;
        std::string folder;
    };
#ifdef _WIN32
    const char* const names[] = {"LOCALAPPDATA", "HOME"};
    const Row rows[] = {{"C:\\Users\\p\\AppData\\Local\\", nullptr, "C:/Users/p/AppData/Local"},
                        {nullptr, "C:\\Users\\p", ""}};
    const char* const executable = "platform_tests.exe";
#else
    const char* const names[] = {"XDG_DATA_HOME", "HOME"};
    const Row rows[] = {
        {"/x/data//", "/home/p", "/x/data"},
        {"relative/data", "/home/p/", "/home/p/.local/share"},  // a relative one is ignored
        {nullptr, "/", "/.local/share"},
        {"", "", ""},
        {"data", nullptr, ""},
    };
    const char* const executable = "platform_tests";
#endif
    // The values the process started with stay where they are while others are set.
    const char* const saved[] = {std::getenv(names[0]), std::getenv(names[1])};
    for (const Row& row : rows) {
        setVariable(names[0], row.data);
        setVariable(names[1], row.home);
        EXPECT_EQ(platform::userDataFolder(), row.folder) << (row.data ? row.data : "(unset)");
    }
    setVariable(names[0], saved[0]);
    setVariable(names[1], saved[1]);

    const std::string folder = platform::executableFolder();
    EXPECT_EQ(folder.find('\\'), std::string::npos) << folder;
    EXPECT_TRUE(fs::exists(fs::path(folder) / executable)) << folder;
}

}  // namespace
