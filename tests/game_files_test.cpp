// Where the maps and save.bin are: the working folder, the player's game folder and the
// installed maps; and a save that finds no game folder.
#include "state/game_files.hpp"

#include <gtest/gtest.h>

#include <string>

#include "board/board.hpp"
#include "state/player_state.hpp"
#include "state/save_file.hpp"
#include "support/screen_expect.hpp"

namespace {

const char* const kInstalled = "/p/share/pervaro";
const char* const kGameFolder = "/d/pervaro";
const char* const kSave = "/d/pervaro/save.bin";

TEST(GameFiles, InstalledMapsBesideTheExecutablesFolder) {
    EXPECT_EQ(installedMapFolder("/usr/bin"), "/usr/share/pervaro");
    EXPECT_EQ(installedMapFolder("/home/p/games/pervaro-1/bin"),
              "/home/p/games/pervaro-1/share/pervaro");
    EXPECT_EQ(installedMapFolder(""), "");
    EXPECT_EQ(userGameFolder("/home/p/.local/share"), "/home/p/.local/share/pervaro");
    EXPECT_EQ(userGameFolder(""), "");
}

// Starts as the game does, with the game installed under /p and this user's data folder.
void start(const std::string& executableFolder, const std::string& userDataFolder) {
    vt::Options options;
    options.executableFolder = executableFolder;
    options.userDataFolder = userDataFolder;
    vt::reset(options);
    useGameFiles(findGameFiles());
    prepareGameFolder();
}

// The shipped stage-1 map, installed.
void install() {
    vt::removeAllFiles();
    vt::putFile(std::string(kInstalled) + "/map01.txt", "3 1 2 999\n999 1 2\n");
    vt::putFile(std::string(kInstalled) + "/map02.txt", "3 1 2 999\n999 1 2\n");
}

TEST(GameFiles, EachStartFindsItsMapsAndItsSave) {
    install();
    const std::string installed = kInstalled;
    const std::string game = kGameFolder;

    // Nowhere special: the player's game folder, made at start, and the installed maps.
    start("/p/bin", "/d");
    EXPECT_FALSE(gameFiles().inWorkingFolder);
    EXPECT_TRUE(vt::fileExists(game));
    EXPECT_EQ(saveFilePath(), kSave);
    EXPECT_EQ(mapFilePath("map01.txt"), installed + "/map01.txt");
    // A map the player put in the game folder wins over the installed one, for its stage only.
    vt::putFile(game + "/map02.txt", "1 1 1 999 999");
    EXPECT_EQ(mapFilePath("map02.txt"), game + "/map02.txt");
    EXPECT_EQ(mapFilePath("map01.txt"), installed + "/map01.txt");
    // Neither has it: the map error names the installed file, and ends the game as ever.
    EXPECT_EQ(vt::run([] { drawBoard(3, 0); }), 1);
    EXPECT_NE(vt::lastErrorMessage().find(installed + "/map03.txt"), std::string::npos)
        << vt::lastErrorMessage();

    // A working folder with map01.txt is the game's folder, as it always was; no game folder
    // is made.
    install();
    vt::putFile("map01.txt", "1 1 1 999 999");
    start("/p/bin", "/d");
    EXPECT_TRUE(gameFiles().inWorkingFolder);
    EXPECT_EQ(saveFilePath(), "save.bin");
    EXPECT_EQ(mapFilePath("map02.txt"), "map02.txt");
    EXPECT_FALSE(vt::fileExists(game));

    // No data folder for this user: no save, the installed maps. The executable's folder
    // unknown: the maps from the game folder only.
    vt::removeFile("map01.txt");
    start("/p/bin", "");
    EXPECT_EQ(saveFilePath(), "");
    EXPECT_EQ(mapFilePath("map02.txt"), installed + "/map02.txt");
    start("", "/d");
    EXPECT_EQ(mapFilePath("map01.txt"), game + "/map01.txt");
}

// Saving in the game folder, and what a player sees when it cannot be had: the same first line
// as ever, where the save goes, why the folder is missing, and the game plays on with nothing
// lost. A save already there loads whenever it can be read.
TEST(GameFiles, SaveInTheGameFolderAndWhatStopsIt) {
    install();
    start("/p/bin", "/d");
    applyNewGameDefaults();
    player.coin = 777;
    EXPECT_EQ(vt::run(saveGame), -1);
    EXPECT_TEXT_AT(1, 40, "セーブが完了しました");
    EXPECT_EQ(vt::fileContents(kSave).value_or("").size(), 108u);
    EXPECT_FALSE(vt::fileExists("save.bin") ||
                 vt::fileExists(std::string(kInstalled) + "/save.bin"));

    struct Row {
        const char* what;
        const char* userData;
        const char* standsInTheWay;  // a file where the game folder should be
        vt::FileFault fault;
        const char* lines[3];
    };
    const Row rows[] = {
        {"a file in its place",
         "/d",
         kGameFolder,
         vt::FileFault::None,
         {"保存先 : /d/pervaro/save.bin", "フォルダを作れません : Not a directory",
          "ゲームはこのまま続けられます"}},
        {"a file above it",
         "/d",
         "/d",
         vt::FileFault::None,
         {"保存先 : /d/pervaro/save.bin", "フォルダを作れません : Not a directory",
          "ゲームはこのまま続けられます"}},
        {"no data folder",
         "",
         nullptr,
         vt::FileFault::None,
         {"保存先のフォルダがありません（このユーザーのデータフォルダが分かりません）",
          "ゲームはこのまま続けられます", ""}},
        {"the write fails",
         "/d",
         nullptr,
         vt::FileFault::DiskFull,
         {"保存先 : /d/pervaro/save.bin", "ゲームはこのまま続けられます", ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        install();
        if (row.standsInTheWay != nullptr) {
            vt::putFile(row.standsInTheWay, "not a folder");
        }
        start("/p/bin", row.userData);
        player.coin = 123;
        vt::failNextReplace(row.fault);
        EXPECT_EQ(vt::run(saveGame), -1);
        EXPECT_TEXT_AT(1, 1, "save.binのオープンが失敗しました");
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(vt::rowText(2 + i).find(row.lines[i]), 0u) << vt::rowText(2 + i);
        }
        EXPECT_EQ(vt::output().find("セーブが完了しました"), std::string::npos);
        EXPECT_EQ(player.coin, 123);
        EXPECT_EQ(vt::run([] { drawBoard(1, 0); }), -1) << "the installed maps still play";
    }

    // The write fails, the save before it is kept and loads.
    install();
    start("/p/bin", "/d");
    player.coin = 555;
    EXPECT_EQ(vt::run(saveGame), -1);
    player.coin = 1;
    vt::failNextReplace(vt::FileFault::FailedRename);
    EXPECT_EQ(vt::run(saveGame), -1);
    EXPECT_EQ(vt::run(loadGame), -1);
    EXPECT_TEXT_AT(1, 40, "ロードが完了しました");
    EXPECT_EQ(player.coin, 555);
}

}  // namespace
