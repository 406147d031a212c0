// The folder questions the game asks, on Windows: paths come back with '/', the user's data
// folder is LOCALAPPDATA's, and folders are made with their parents.
#include <windows.h>
//
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "console/platform.hpp"
#include "console/utf16.hpp"

namespace {

namespace fs = std::filesystem;

TEST(WindowsFolders, ComeBackWithForwardSlashes) {
    const std::string executable = platform::executableFolder();
    EXPECT_EQ(executable.find('\\'), std::string::npos) << executable;
    EXPECT_TRUE(fs::exists(fs::path(executable) / "platform_tests.exe")) << executable;

    const std::string saved = platform::userDataFolder();
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", L"C:\\Users\\p\\AppData\\Local\\");
    EXPECT_EQ(platform::userDataFolder(), "C:/Users/p/AppData/Local");
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", nullptr);
    EXPECT_EQ(platform::userDataFolder(), "");
    ::SetEnvironmentVariableW(L"LOCALAPPDATA", fs::path(saved).wstring().c_str());
}

TEST(WindowsFolders, PrivateFolderWithItsParentsAndWhatStandsInItsWay) {
    const fs::path root =
        fs::temp_directory_path() / ("pervaro-folders-" + std::to_string(::GetCurrentProcessId()));
    fs::remove_all(root);
    fs::create_directory(root);
    const std::string base = platform::gamePath(root.wstring());
    std::string problem;

    const std::string made = base + "/a/b/pervaro";
    ASSERT_TRUE(platform::makePrivateFolder(made, problem)) << problem;
    EXPECT_TRUE(fs::is_directory(root / "a" / "b" / "pervaro"));
    EXPECT_TRUE(platform::makePrivateFolder(made + "/", problem)) << "one that is there already";

    std::ofstream(root / "file") << "x";
    for (const std::string& path : {base + "/file", base + "/file/pervaro"}) {
        problem.clear();
        EXPECT_FALSE(platform::makePrivateFolder(path, problem)) << path;
        EXPECT_EQ(problem, "Not a directory") << path;
    }
    EXPECT_FALSE(platform::makePrivateFolder("", problem));

    EXPECT_TRUE(platform::isRegularFile(base + "/file"));
    EXPECT_FALSE(platform::isRegularFile(made));
    EXPECT_FALSE(platform::isRegularFile(base + "/none"));
    EXPECT_TRUE(platform::sameFile(base + "/file", made + "/../../../FILE"));
    EXPECT_FALSE(platform::sameFile(base + "/file", made));
    EXPECT_FALSE(platform::sameFile(base + "/none", base + "/none"));
    fs::remove_all(root);
}

}  // namespace
