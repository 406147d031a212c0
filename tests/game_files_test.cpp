// Where the maps and save.bin are found: the working folder, the player's game folder and the
// installed maps, on real folders.
#include "state/game_files.hpp"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "support/virtual_platform.hpp"

namespace {

namespace fs = std::filesystem;

TEST(GameFiles, InstalledMapsBesideTheExecutablesFolder) {
    EXPECT_EQ(installedMapFolder("/usr/bin"), "/usr/share/pervaro");
    EXPECT_EQ(installedMapFolder("/home/p/games/pervaro-1/bin"),
              "/home/p/games/pervaro-1/share/pervaro");
    EXPECT_EQ(installedMapFolder(""), "");
    EXPECT_EQ(userGameFolder("/home/p/.local/share"), "/home/p/.local/share/pervaro");
    EXPECT_EQ(userGameFolder(""), "");
}

// An installation under prefix/, a user data folder, and an empty working folder.
class GameFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "pervaro-files-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directories(root / "prefix" / "bin");
        fs::create_directories(installed());
        fs::create_directories(root / "here");
        for (const char* name : {"map01.txt", "map02.txt"}) {
            put(installed() / name);
        }
        previous = fs::current_path();
        fs::current_path(root / "here");
    }
    void TearDown() override {
        fs::current_path(previous);
        fs::remove_all(root);
    }
    fs::path installed() const { return root / "prefix" / "share" / "pervaro"; }
    static void put(const fs::path& path) { std::ofstream(path) << "1 1 1 999 999\n"; }

    // Starts the way the game does, with this executable folder and user data folder.
    void start(const std::string& executable, const std::string& userData) {
        vt::Options options;
        options.executableFolder = executable;
        options.userDataFolder = userData;
        vt::reset(options);
        useGameFiles(findGameFiles());
        prepareGameFolder();
    }

    fs::path root;
    fs::path previous;
};

TEST_F(GameFolders, EachStartFindsItsMapsAndItsSave) {
    const std::string bin = (root / "prefix" / "bin").string();
    const std::string data = (root / "data").string();
    const std::string game = data + "/pervaro";
    const std::string installedMaps = installed().string();

    // Nowhere special: the player's game folder, made private, and the installed maps.
    start(bin, data);
    EXPECT_FALSE(gameFiles().inWorkingFolder);
    EXPECT_EQ(fs::status(game).permissions(), fs::perms::owner_all);
    EXPECT_EQ(saveFilePath(), game + "/save.bin");
    EXPECT_EQ(mapFilePath("map01.txt"), installedMaps + "/map01.txt");
    // A map the player put in the game folder wins over the installed one, for that stage only.
    put(game + "/map02.txt");
    EXPECT_EQ(mapFilePath("map02.txt"), game + "/map02.txt");
    EXPECT_EQ(mapFilePath("map01.txt"), installedMaps + "/map01.txt");
    // Neither has it: the installed path is the one the error names.
    EXPECT_EQ(mapFilePath("map05.txt"), installedMaps + "/map05.txt");

    // A working folder with map01.txt is the game's folder, as it always was; nothing else is
    // made.
    put("map01.txt");
    fs::remove_all(data);
    start(bin, data);
    EXPECT_TRUE(gameFiles().inWorkingFolder);
    EXPECT_EQ(saveFilePath(), "save.bin");
    EXPECT_EQ(mapFilePath("map02.txt"), "map02.txt");
    EXPECT_FALSE(fs::exists(data));

    // Started among the installed maps, the game still writes only to the game folder.
    fs::current_path(installed());
    start(bin, data);
    EXPECT_FALSE(gameFiles().inWorkingFolder);
    EXPECT_EQ(saveFilePath(), game + "/save.bin");

    // No data folder for this user: no save, maps as installed. No executable folder: maps
    // from the game folder only.
    fs::current_path(root);
    start(bin, "");
    EXPECT_EQ(saveFilePath(), "");
    EXPECT_EQ(mapFilePath("map02.txt"), installedMaps + "/map02.txt");
    start("", data);
    EXPECT_EQ(mapFilePath("map01.txt"), game + "/map01.txt");
}

}  // namespace
