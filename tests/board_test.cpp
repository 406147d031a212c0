// Map files, the board drawing and the stage turn loop on the virtual terminal.
#include "board/board.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <tuple>

#include "board/board_map.hpp"
#include "console/console.hpp"
#include "console/random.hpp"
#include "state/player_state.hpp"
#include "support/key_script.hpp"
#include "support/map_directory.hpp"
#include "support/screen_expect.hpp"
#include "support/seed_search.hpp"
#include "support/virtual_platform.hpp"

namespace {

TEST(ShippedMaps, EachIsOneUnbrokenTrackThatFitsTheBoardArea) {
    const MapDirectory shipped;
    int previousGoal = 0;
    for (int stage = 1; stage <= kStageCount; ++stage) {
        const std::string path = mapFileName(stage);
        SCOPED_TRACE(path);
        BoardMap map;
        std::string problem;
        ASSERT_TRUE(readBoardMap(path, map, problem)) << problem;
        EXPECT_TRUE(map.width <= 27 && map.height <= 33 && map.goal > previousGoal);
        EXPECT_FALSE(map.start >= 0 && map.start <= map.goal) << "start marker is a track number";
        previousGoal = map.goal;
        // Where each square stands (row * 1000 + column), the start square as 0; a stray or
        // repeated number leaves a square out or adds one.
        std::map<int, int> where;
        for (int i = 0; i < map.width * map.height; ++i) {
            const int square = map.cells[i] == map.start ? 0 : map.cells[i];
            if (map.cells[i] != 0) {
                EXPECT_TRUE(where.emplace(square, i / map.width * 1000 + i % map.width).second);
            }
        }
        ASSERT_EQ(static_cast<int>(where.size()), map.goal + 1);
        for (int position = 1; position <= map.goal; ++position) {
            const int step = std::abs(where.at(position) - where.at(position - 1));
            EXPECT_TRUE(step == 1 || step == 1000) << "square " << position;
        }
    }
    EXPECT_GE(previousGoal, 60);
}

// A map whose first row is all plain squares and whose other rows are empty.
std::string topRowMap(int width, int height) {
    std::string text = std::to_string(width) + " " + std::to_string(height) + " 999 998\n";
    for (int cell = 0; cell < width * height; ++cell) {
        text += cell < width ? "5 " : "0 ";
    }
    return text;
}
std::string squares(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += "□";
    }
    return text;
}

TEST(DrawBoard, PlacesAndPicturesFromTheFileReadAnewEachTime) {
    // Start marker 3 is also an ordinary number in the 6 x 1 map, so the start rule must win
    // over the player; the player is not drawn on the goal or past it. Each draw reads the file
    // as it stands; one that ends early reads zeros.
    const char* const six = "6 1\n5 3\n3 1 2 0 4 5\n";
    const std::tuple<std::string, int, int, int, std::string, int, int> cases[] = {
        // map, player square, column, row, text there, label row (0: off the console), goal
        {topRowMap(10, 20), 0, 33, 7, " " + squares(10) + " ", 35, 999},  // (35 - 20) / 2
        {topRowMap(10, 32), 0, 33, 1, " " + squares(10) + " ", 33, 999},  // label under the grid
        {topRowMap(27, 33), 0, 25, 1, " " + squares(27) + " ", 34, 999},  // largest shipped size
        // Would start at row 0; drawn from row 1 like taller maps.
        {topRowMap(10, 34), 0, 33, 1, " " + squares(10) + " ", 35, 999},
        {topRowMap(200, 200), 0, 1, 1, "", 0, 999},  // the largest map allowed, drawn without harm
        {six, 0, 35, 17, " S □□　□G ", 35, 5},
        {six, 2, 35, 17, " S □■　□G ", 35, 5},
        {six, 3, 35, 17, " S □□　□G ", 35, 5},
        {six, 4, 35, 17, " S □□　■G ", 35, 5},
        {six, 5, 35, 17, " S □□　□G ", 35, 5},
        {six, 9, 35, 17, " S □□　□G ", 35, 5},
        {"3 1 7 9\n9 1 7\n", 1, 37, 17, " S ■G ", 35, 7},
        {"4 2 3 9\n9 1 2", 0, 36, 16, " S □□　", 35, 3},
        {"4 2 3 9\n9 1 2", 0, 36, 17, " 　　　　", 35, 3},
    };
    MapDirectory dir;
    for (const auto& [text, playerSquare, column, row, expected, labelRow, goal] : cases) {
        SCOPED_TRACE(testing::Message() << text.substr(0, 12) << " player on " << playerSquare);
        dir.write("map01.txt", text);
        vt::reset();
        int drawnGoal = 0;
        const int square = playerSquare;  // clang 14 cannot capture a structured binding
        EXPECT_EQ(vt::run([&] { drawnGoal = drawBoard(1, square); }), -1);
        EXPECT_EQ(drawnGoal, goal);
        EXPECT_TEXT_AT(column, row, expected);
        if (labelRow != 0) {
            EXPECT_TEXT_AT(24, labelRow, "STAGE :  1");
            EXPECT_EQ(vt::cursorRow(), labelRow + 1);
            EXPECT_EQ(vt::cursorColumn(), 1);
        }
    }
}

const char* const kFifo = "(a FIFO)";
const char* const kDirectory = "(a directory)";

TEST(DrawBoard, UnusableMapsEndTheProgramWithAMessage) {
    const std::string huge = "1 1 0 9\n9" + std::string(kMaxMapFileBytes, ' ');
    const std::pair<const char*, const char*> cases[] = {
        {huge.c_str(), "larger than 4194304 bytes"},  // no map is this large: not read whole
        {nullptr, "No such file"},                    // no file at all
        {kFifo, "not a regular file"},                // would wait for a writer for ever
        {kDirectory, "Is a directory"},
        {"", "width 0"},
        {"3 201 1 9\n", "height 201"},
        {"three 2 1 9\n", "width is not a number"},
        {"2 1 1x 9\n", "goal is not a number"},
        {"2 1 1 99999999999\n", "start value is not a number"},
        {"2 1 1 9\n9 #\n", "cell is not a number"},
    };
    MapDirectory dir;
    for (const auto& [text, problem] : cases) {
        SCOPED_TRACE(problem);
        vt::removeFile("map04.txt");
        if (text == kFifo) {
            vt::putFile("map04.txt", "", vt::FileKind::Fifo);
        } else if (text == kDirectory) {
            vt::putFile("map04.txt", "", vt::FileKind::Directory);
        } else if (text != nullptr) {
            dir.write("map04.txt", text);
        }
        vt::reset();
        moveCursor(5, 9);
        EXPECT_EQ(vt::run([] { drawBoard(4, 0); }), 1);
        const std::string& message = vt::lastErrorMessage();
        EXPECT_EQ(message.rfind("Error!\npervaro: map file \"map04.txt\"", 0), 0u) << message;
        EXPECT_NE(message.find(problem), std::string::npos) << message;
        EXPECT_TEXT_AT(5, 9, "Error!");
        EXPECT_EQ(vt::cursorRow(), 10);
    }
}

// Squares 1 to 15 left to right on row 16 from column 33, 16 to 31 right to left on row 17.
const char* const kTwoRowMap =
    "16 2 31 99\n"
    "99  1  2  3  4  5  6  7  8  9 10 11 12 13 14 15\n"
    "31 30 29 28 27 26 25 24 23 22 21 20 19 18 17 16\n";

// The clock (two seconds of stage title before the first square event) whose events are all
// the fountain, which changes nothing at full LIFE.
std::int64_t fountainClock() {
    return findSeedSecond([] { return nextRandom() % 20 == 2; }) - 2;
}

// One turn ending on a fountain short of the goal, from the die or card picture on.
constexpr int kKeysAfterFountainMove = 7;

// A new game at stage 1 on this map, on a clock whose square events are fountains.
void startStage(const MapDirectory& dir, const char* map) {
    dir.write("map01.txt", map);
    vt::Options options;
    options.wallClockStart = fountainClock();
    vt::reset(options);
    applyNewGameDefaults();
    setRandomState(1);  // a process that has not reseeded yet
}

TEST(StageLoop, TitleHelpInventoryCardAndDieItem) {
    MapDirectory dir;
    startStage(dir, kTwoRowMap);
    player.cardMove = 1;
    player.moveEffect = MoveEffectSix;
    player.moveEffectTurns = 1;
    typeSpaces(1);
    vt::typeLines({"7", "1"});
    typeSpaces(2);
    vt::typeLines({"1"});
    typeSpaces(2);
    vt::typeLines({"0", "0", "0", "3"});
    // A card leaves the die item alone; the die shows 6 once, then is random again.
    for (const char* choice : {"2", "1", "1"}) {
        vt::typeLines({choice});
        typeSpaces(kKeysAfterFountainMove);
    }
    EXPECT_EQ(vt::run([] { playStage(1); }), 1);
    EXPECT_NE(vt::output().find("～ 水の神殿 パルテリアウルム ～"), std::string::npos);
    EXPECT_GE(vt::nowMs(), 2000);
    const auto& s = vt::snapshots();
    ASSERT_EQ(s.size(), 12u + 3u * (1u + kKeysAfterFountainMove) + 1u);
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 38, "LIFE :  5/ 5 , COIN :     0 , LV : 1 経験値( 0/100)");
    // The refused 7 is cleared and the question asked again on the same page; the help pages
    // as often as asked.
    const char* const question = "シナリオおよびルールの説明が必要ですか？  No:0  Yes:1 >> ";
    for (const int i : {1, 2, 5, 8}) {
        EXPECT_SNAPSHOT_TEXT_AT(s[i], 1, 40, question) << i;
        EXPECT_SNAPSHOT_TEXT_AT(s[i], 31, 17, "G ") << i;
    }
    EXPECT_EQ(s[2].textAt(1, 41, 10), std::string(10, ' '));
    EXPECT_SNAPSHOT_TEXT_AT(s[6], 8, 4, "◇  世界観  ◇");
    EXPECT_SNAPSHOT_TEXT_AT(s[7], 8, 4, "◇  ゲームの進め方  ◇");
    // The inventory opens from the turn prompt; after it the board is drawn anew and the prompt
    // asked again on it. A 3 is refused like any other number.
    EXPECT_SNAPSHOT_TEXT_AT(s[10], 1, 40, "どれを使用しますか  > ");
    for (const int i : {9, 11, 12}) {
        EXPECT_SNAPSHOT_TEXT_AT(s[i], 1, 40,
                                "  1.ダイスを振る  2.カードを引く  0.アイテムを使う  >> ");
        EXPECT_SNAPSHOT_TEXT_AT(s[i], 31, 16, "S □") << i;
        EXPECT_EQ(s[i].textAt(1, 41, 10), std::string(10, ' ')) << i;
    }
    EXPECT_SNAPSHOT_TEXT_AT(s[13], 33, 15, "+------------+");
    EXPECT_SNAPSHOT_TEXT_AT(s[15], 1, 40, "止まったマスのイベントが発生しました!");
    EXPECT_EQ(s[16].textAt(1, 40, 10), std::string(10, ' '));  // the event on a page of its own
    EXPECT_SNAPSHOT_TEXT_AT(s[21], 35, 17, "+--------+");
    EXPECT_SNAPSHOT_TEXT_AT(s[21], 1, 40, "     ");  // the die page holds nothing else
    // Card and die both take the second draw after a reseeding in the events' second.
    seedRandom(static_cast<std::uint32_t>(fountainClock() + 2));
    nextRandom();
    const int draw = nextRandom();
    ASSERT_NE(draw % 6 + 1, 6);
    std::size_t board = 14;  // the board after the card
    for (const int square : {draw % 13 + 1, draw % 13 + 7, draw % 13 + 7 + draw % 6 + 1}) {
        const int column = 31 + 2 * (square <= 15 ? square : 31 - square);
        EXPECT_SNAPSHOT_TEXT_AT(s[board], column, square <= 15 ? 16 : 17, "■") << square;
        board += 1 + kKeysAfterFountainMove;
    }
}

TEST(StageLoop, AtTheGoalTheBossIsBeatenOrBlowsThePlayerBack) {
    // On a three-square track the first die reaches the boss, with no square event first: the
    // hidden sequence wins at once, or にげる blows the player back. A goal at the start or
    // before it still has the first turn played and the boss met, and a blow-back from the
    // lowest goal there is goes on to the next turn.
    const Keys flee = {kDown, kDown, kRight, kEnter};
    const std::pair<const char*, Keys> cases[] = {
        {"4 1 3 99\n99 1 2 3\n", kHidden},
        {"4 1 3 99\n99 1 2 3\n", flee},
        {"1 1 0 99\n99\n", kHidden},
        {"1 1 -2147483648 99\n99\n", flee},
    };
    for (const auto& [map, keys] : cases) {
        SCOPED_TRACE(map);
        const bool fled = keys.size() == 4;
        MapDirectory dir;
        startStage(dir, map);
        typeSpaces(1);
        vt::typeLines({"0", "1"});
        typeSpaces(3);
        typeKeys(keys);
        typeSpaces(2);  // the message and the victory, or the flight and the blow-back pages
        int result = -1;
        EXPECT_EQ(vt::run([&] { result = playStage(1); }), fled ? 1 : -1);
        EXPECT_EQ(vt::output().find("止まったマスのイベントが発生しました!"), std::string::npos);
        EXPECT_EQ(vt::inputExhausted(), fled);
        if (!fled) {
            EXPECT_EQ(result, 1);
            EXPECT_NE(vt::output().find("ステージボスを撃破した！！"), std::string::npos);
            continue;
        }
        // The next turn is asked under the blow-back message, without a board.
        const ScreenGrid& last = vt::snapshots().back();
        EXPECT_EQ(last.textAt(8, 20, 12), "ボスの吹き飛");
        EXPECT_SNAPSHOT_TEXT_AT(last, 1, 40, "  1.ダイスを振る  0.アイテムを使う  >> ");
        EXPECT_EQ(last.textAt(1, 1, 4), "    ");
    }
}

}  // namespace
