// Where this user's data goes, and the folder questions the game asks, on a real file system.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "console/platform.hpp"

namespace {

namespace fs = std::filesystem;

void setOrUnset(const char* name, const std::optional<std::string>& value) {
    value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name);
}

TEST(Folders, UserDataFolderFromTheEnvironment) {
    struct Row {
        std::optional<std::string> dataHome;
        std::optional<std::string> home;
        std::string folder;
    };
    const Row rows[] = {
        {"/x/data", "/home/p", "/x/data"},
        {"/x/data//", "/home/p", "/x/data"},
        {"relative/data", "/home/p", "/home/p/.local/share"},  // a relative one is ignored
        {"", "/home/p/", "/home/p/.local/share"},
        {std::nullopt, "/", "/.local/share"},
        {std::nullopt, "", ""},
        {"data", std::nullopt, ""},
    };
    const char* const savedData = std::getenv("XDG_DATA_HOME");
    const char* const savedHome = std::getenv("HOME");
    const std::optional<std::string> data =
        savedData ? std::optional<std::string>(savedData) : std::nullopt;
    const std::optional<std::string> home =
        savedHome ? std::optional<std::string>(savedHome) : std::nullopt;
    for (const Row& row : rows) {
        setOrUnset("XDG_DATA_HOME", row.dataHome);
        setOrUnset("HOME", row.home);
        EXPECT_EQ(platform::userDataFolder(), row.folder)
            << row.dataHome.value_or("(unset)") << " " << row.home.value_or("(unset)");
    }
    setOrUnset("XDG_DATA_HOME", data);
    setOrUnset("HOME", home);
}

TEST(Folders, PrivateFolderWithItsParentsAndWhatStandsInItsWay) {
    const fs::path root =
        fs::temp_directory_path() / ("pervaro-folders-" + std::to_string(getpid()));
    fs::remove_all(root);
    fs::create_directory(root);
    std::string problem;

    const fs::path made = root / "a" / "b" / "pervaro";
    ASSERT_TRUE(platform::makePrivateFolder(made.string(), problem)) << problem;
    for (const fs::path& folder : {root / "a", root / "a" / "b", made}) {
        struct stat status {};
        ASSERT_EQ(::stat(folder.c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0700u) << folder;
    }
    // A folder that is there already is used as it is.
    fs::permissions(made, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    EXPECT_TRUE(platform::makePrivateFolder(made.string() + "/", problem));
    EXPECT_EQ(fs::status(made).permissions() & fs::perms::group_read, fs::perms::group_read);

    std::ofstream(root / "file") << "x";
    const std::string blocked[] = {(root / "file").string(), (root / "file" / "pervaro").string()};
    for (const std::string& path : blocked) {
        problem.clear();
        EXPECT_FALSE(platform::makePrivateFolder(path, problem)) << path;
        EXPECT_EQ(problem, "Not a directory") << path;
    }
    EXPECT_FALSE(platform::makePrivateFolder("", problem));

    EXPECT_TRUE(platform::isRegularFile((root / "file").string()));
    EXPECT_FALSE(platform::isRegularFile(made.string()));
    EXPECT_TRUE(platform::sameFile((root / "file").string(),
                                   (made / ".." / ".." / ".." / "file").string()));
    EXPECT_FALSE(platform::sameFile((root / "file").string(), made.string()));
    EXPECT_FALSE(platform::sameFile((root / "none").string(), (root / "none").string()));
    fs::remove_all(root);
}

}  // namespace
