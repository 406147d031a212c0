// Map files, the board drawing and the stage turn loop on the virtual terminal.
#include "board/board.hpp"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "board/board_map.hpp"
#include "console/console.hpp"
#include "console/random.hpp"
#include "state/player_state.hpp"
#include "support/map_directory.hpp"
#include "support/screen_expect.hpp"
#include "support/seed_search.hpp"
#include "support/virtual_platform.hpp"

namespace {

// ---- The shipped maps ----

TEST(ShippedMaps, EachIsOneUnbrokenTrackThatFitsTheBoardArea) {
    int previousGoal = 0;
    for (int stage = 1; stage <= kStageCount; ++stage) {
        SCOPED_TRACE(mapFileName(stage));
        BoardMap map;
        std::string problem;
        ASSERT_TRUE(
            readBoardMap(std::string(PERVARO_DATA_DIR) + "/" + mapFileName(stage), map, problem))
            << problem;
        EXPECT_LE(map.width, 27);
        EXPECT_LE(map.height, 33);
        EXPECT_NE(map.start, 0);
        EXPECT_FALSE(map.start >= 1 && map.start <= map.goal) << "start marker is a track number";
        EXPECT_GT(map.goal, previousGoal) << "tracks grow with the stage";
        previousGoal = map.goal;

        // Where each square stands; the start square is position 0.
        std::map<int, std::pair<int, int>> where;
        int cells = 0;
        for (int row = 0; row < map.height; ++row) {
            for (int column = 0; column < map.width; ++column) {
                const int cell = map.cell(row, column);
                if (cell == 0) {
                    continue;
                }
                // A stray or repeated number leaves a square out or adds one.
                where.emplace(cell == map.start ? 0 : cell, std::make_pair(row, column));
                ++cells;
            }
        }
        ASSERT_EQ(static_cast<int>(where.size()), map.goal + 1);
        ASSERT_EQ(cells, map.goal + 1);
        for (int position = 1; position <= map.goal; ++position) {
            const auto [r0, c0] = where.at(position - 1);
            const auto [r1, c1] = where.at(position);
            EXPECT_EQ(std::abs(r0 - r1) + std::abs(c0 - c1), 1)
                << "square " << position << " is not next to the one before";
        }
    }
    EXPECT_GE(previousGoal, 60);
}

// ---- Drawing ----

// A map whose first row is all plain squares and whose other rows are empty.
std::string topRowMap(int width, int height) {
    std::string text = std::to_string(width) + " " + std::to_string(height) + " 999 998\n";
    for (int row = 0; row < height; ++row) {
        for (int column = 0; column < width; ++column) {
            text += row == 0 ? "5 " : "0 ";
        }
        text += "\n";
    }
    return text;
}

TEST(DrawBoard, RowAndColumnOffsetsAndTheLabelRow) {
    struct Case {
        int width, height, firstRow, labelRow;
    };
    const Case cases[] = {
        {10, 20, 7, 35},  // (35 - 20) / 2
        {10, 32, 1, 33},  // label directly under the grid
        {27, 33, 1, 34},  // the largest shipped size
        {10, 34, 1, 35},  // would start at row 0; drawn from row 1 like taller maps
        {10, 38, 1, 39},  // tall maps: label under the last row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        MapDirectory dir;
        dir.write("map01.txt", topRowMap(c.width, c.height));
        vt::reset();
        int goal = 0;
        EXPECT_EQ(vt::run([&] { goal = drawBoard(1, 0); }), -1);
        EXPECT_EQ(goal, 999);
        const int column = (79 - c.width) / 2;
        std::string squares;
        for (int i = 0; i < c.width; ++i) {
            squares += "□";
        }
        EXPECT_TEXT_AT(column - 1, c.firstRow, " " + squares + " ");
        EXPECT_TEXT_AT(24, c.labelRow, "STAGE :  1");
        EXPECT_EQ(vt::cursorRow(), c.labelRow + 1);
        EXPECT_EQ(vt::cursorColumn(), 1);
    }
}

TEST(DrawBoard, TheLargestMapAllowedIsDrawnWithoutHarm) {
    MapDirectory dir;
    dir.write("map05.txt", topRowMap(200, 200));
    vt::reset();
    int goal = 0;
    EXPECT_EQ(vt::run([&] { goal = drawBoard(5, 1); }), -1);
    EXPECT_EQ(goal, 999);
}

TEST(DrawBoard, CellPictures) {
    // Start marker 3 is also an ordinary number here, so the start rule must win over the player;
    // the player is not drawn on the goal or past it.
    const std::pair<int, const char*> cases[] = {
        {0, "S □□　□G "}, {2, "S □■　□G "}, {3, "S □□　□G "},
        {4, "S □□　■G "}, {5, "S □□　□G "}, {9, "S □□　□G "},
    };
    for (const auto& [playerSquare, row] : cases) {
        MapDirectory dir;
        dir.write("map02.txt", "6 1\n5 3\n3 1 2 0 4 5\n");
        vt::reset();
        vt::run([&] { drawBoard(2, playerSquare); });
        EXPECT_TEXT_AT(36, 17, row) << "player on " << playerSquare;
    }
}

TEST(DrawBoard, ReadsTheFileAgainEveryTime) {
    MapDirectory dir;
    dir.write("map01.txt", "2 1 2 9\n9 2\n");
    vt::reset();
    vt::run([] { drawBoard(1, 0); });
    dir.write("map01.txt", "3 1 7 9\n9 1 7\n");
    int goal = 0;
    vt::run([&] { goal = drawBoard(1, 1); });
    EXPECT_EQ(goal, 7);
    EXPECT_TEXT_AT(38, 17, "S ■G ");
}

TEST(DrawBoard, AFileThatEndsEarlyReadsZeros) {
    MapDirectory dir;
    dir.write("map01.txt", "4 2 3 9\n9 1 2");
    vt::reset();
    EXPECT_EQ(vt::run([] { drawBoard(1, 0); }), -1);
    EXPECT_TEXT_AT(37, 16, "S □□　");
    EXPECT_TEXT_AT(37, 17, "　　　　");
}

TEST(DrawBoard, UnusableMapsEndTheProgramWithAMessage) {
    struct Case {
        const char* text;  // nullptr: no file at all
        const char* problem;
    };
    const Case cases[] = {
        {nullptr, "No such file"},
        {"", "width 0"},
        {"3 -2 1 9\n", "height -2"},
        {"3 201 1 9\n", "height 201"},
        {"100000 100000 1 9\n", "width 100000"},
        {"three 2 1 9\n", "width is not a number"},
        {"2 1 1x 9\n", "goal is not a number"},
        {"2 1 1 99999999999\n", "start value is not a number"},
        {"2 1 1 9\n9 #\n", "cell is not a number"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.problem);
        MapDirectory dir;
        std::remove("map04.txt");
        if (c.text != nullptr) {
            dir.write("map04.txt", c.text);
        }
        vt::reset();
        std::string message = "no exit";
        try {
            moveCursor(5, 9);
            drawBoard(4, 0);
        } catch (const vt::ProgramExit& exit) {
            EXPECT_EQ(exit.status, 1);
            message = exit.errorMessage;
        }
        EXPECT_EQ(message.rfind("Error!\n", 0), 0u) << message;
        EXPECT_NE(message.find("map04.txt"), std::string::npos) << message;
        EXPECT_NE(message.find(c.problem), std::string::npos) << message;
        EXPECT_TEXT_AT(5, 9, "Error!");
        EXPECT_EQ(vt::cursorRow(), 10);
    }
}

// ---- The stage turn loop ----
// The other modules' placeholders: the inventory returns at once without drawing, the boss is
// beaten at once, and every mini-game is lost at once.

// Squares 1 to 15 left to right on the top row, 16 to 31 right to left below; goal 31.
const char* const kTwoRowMap =
    "16 2 31 99\n"
    "99  1  2  3  4  5  6  7  8  9 10 11 12 13 14 15\n"
    "31 30 29 28 27 26 25 24 23 22 21 20 19 18 17 16\n";
// Where a square of kTwoRowMap stands: rows 16 and 17 from column 31.
std::pair<int, int> squareAt(int square) {
    return square <= 15 ? std::make_pair(31 + 2 * square, 16)
                        : std::make_pair(31 + 2 * (31 - square), 17);
}
void expectPlayerOn(const ScreenGrid& page, int square) {
    const auto [column, row] = squareAt(square);
    EXPECT_SNAPSHOT_TEXT_AT(page, column, row, "■") << "square " << square;
}

// The clock (two seconds of stage title before the first square event) that gives the event
// roll; the tests use the fountain, which changes nothing at full LIFE.
std::int64_t startClockForRoll(int roll) {
    return findSeedSecond([&] { return nextRandom() % 20 == roll; }) - 2;
}

void keys(int count) {
    for (int i = 0; i < count; ++i) {
        vt::type(" ");
    }
}

const char* const kTurnPrompt = "  1.ダイスを振る  0.アイテムを使う  >> ";
// One die turn ending on a fountain short of the goal, from the die picture on.
constexpr int kKeysAfterFountainMove = 7;

class StageLoop : public testing::Test {
  protected:
    void SetUp() override {
        dir_.write("map01.txt", kTwoRowMap);
        vt::Options options;
        options.wallClockStart = startClockForRoll(2);
        vt::reset(options);
        applyNewGameDefaults();
        setRandomState(1);  // a process that has not reseeded yet
    }
    // Title, board, "no help", as far as the first turn prompt.
    static void toFirstTurn() {
        keys(1);
        vt::typeLines({"0"});
    }
    // On a three-square track the first die reaches the boss; as far as its opening key.
    void toBoss() {
        dir_.write("map01.txt", "4 1 3 99\n99 1 2 3\n");
        toFirstTurn();
        vt::typeLines({"1"});
        keys(3);
    }
    // The program's exit status, or -1 when the stage returned.
    int play() {
        return vt::run([&] { result_ = playStage(1); });
    }
    MapDirectory dir_;
    int result_ = -1;
};

TEST_F(StageLoop, TitleBoardAndTheHelpPagesAsOftenAsAsked) {
    keys(1);
    vt::typeLines({"7", "1"});
    keys(2);
    vt::typeLines({"1"});
    keys(2);
    vt::typeLines({"0"});
    EXPECT_EQ(play(), 1);
    EXPECT_TRUE(vt::inputExhausted());
    EXPECT_NE(vt::output().find("STAGE 1"), std::string::npos);
    EXPECT_NE(vt::output().find("～ 水の神殿 パルテリアウルム ～"), std::string::npos);
    EXPECT_GE(vt::nowMs(), 2000);

    const auto& s = vt::snapshots();
    ASSERT_EQ(s.size(), 10u);
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 31, 16, "S □□□");
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 24, 35, "STAGE :  1");
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 38, "LIFE :  5/ 5 , COIN :     0 , LV : 1 経験値( 0/100)");
    // The refused 7 is cleared and the question asked again on the same page.
    const char* const question = "シナリオおよびルールの説明が必要ですか？  No:0  Yes:1 >> ";
    for (const int i : {1, 2, 5, 8}) {
        EXPECT_SNAPSHOT_TEXT_AT(s[i], 1, 40, question) << i;
        EXPECT_SNAPSHOT_TEXT_AT(s[i], 31, 17, "G ") << i;
    }
    EXPECT_EQ(s[2].textAt(1, 41, 10), std::string(10, ' '));
    for (const int i : {3, 6}) {
        EXPECT_SNAPSHOT_TEXT_AT(s[i], 8, 4, "◇  世界観  ◇");
        EXPECT_SNAPSHOT_TEXT_AT(s[i + 1], 8, 4, "◇  ゲームの進め方  ◇");
    }
    EXPECT_SNAPSHOT_TEXT_AT(s[9], 1, 40, kTurnPrompt);
}

TEST_F(StageLoop, InventoryAndRefusalKeepTheTurnAndTheFirstDieShowsFive) {
    toFirstTurn();
    vt::typeLines({"0", "0", "2", "1"});
    keys(3);
    EXPECT_EQ(play(), 1);
    const auto& s = vt::snapshots();
    ASSERT_EQ(s.size(), 10u);
    // The inventory opens from the turn prompt; after it the board is drawn anew and the prompt
    // asked again on it. A 2 without card moves is refused like any other number.
    EXPECT_SNAPSHOT_TEXT_AT(s[3], 1, 40, "どれを使用しますか  > ");
    for (const int i : {4, 5}) {
        EXPECT_SNAPSHOT_TEXT_AT(s[i], 1, 40, kTurnPrompt) << i;
        EXPECT_SNAPSHOT_TEXT_AT(s[i], 31, 16, "S □") << i;
        EXPECT_EQ(s[i].textAt(1, 41, 10), std::string(10, ' ')) << i;
    }
    EXPECT_SNAPSHOT_TEXT_AT(s[6], 35, 17, "+--------+");
    EXPECT_SNAPSHOT_TEXT_AT(s[6], 1, 40, "     ");  // the die page holds nothing else
    expectPlayerOn(s[8], 5);
    EXPECT_SNAPSHOT_TEXT_AT(s[8], 1, 40, "止まったマスのイベントが発生しました!");
    // The event on a page of its own.
    EXPECT_SNAPSHOT_TEXT_AT(s[9], 11, 16, "回復の泉を発見した!!");
    EXPECT_EQ(s[9].textAt(1, 40, 10), std::string(10, ' '));
}

TEST_F(StageLoop, DieItemsActOnTheDieOnlyAndRunOut) {
    player.cardMove = 1;
    player.moveEffect = MoveEffectSix;
    player.moveEffectTurns = 1;
    toFirstTurn();
    // A card leaves the die item alone; the die shows 6 once, then is random again.
    for (const char* choice : {"2", "1", "1"}) {
        vt::typeLines({choice});
        keys(kKeysAfterFountainMove);
    }
    EXPECT_EQ(play(), 1);
    // Card and die both take the second draw after a reseeding in the events' second.
    seedRandom(static_cast<std::uint32_t>(startClockForRoll(2) + 2));
    nextRandom();
    const int draw = nextRandom();
    const int card = draw % 13 + 1;
    const int die = draw % 6 + 1;
    ASSERT_NE(die, 6);
    const auto& s = vt::snapshots();
    ASSERT_EQ(s.size(), 2u + 3u * (1u + kKeysAfterFountainMove) + 1u);
    EXPECT_SNAPSHOT_TEXT_AT(s[2], 1, 40, "  1.ダイスを振る  2.カードを引く  0.アイテムを使う  >> ");
    EXPECT_SNAPSHOT_TEXT_AT(s[3], 33, 15, "+------------+");
    std::size_t board = 4;  // the board after the card
    for (const int square : {card, card + 6, card + 6 + die}) {
        expectPlayerOn(s[board], square);
        board += 1 + kKeysAfterFountainMove;
    }
    EXPECT_EQ(player.moveEffect, 0);
    EXPECT_EQ(player.moveEffectTurns, 0);
}

TEST_F(StageLoop, PassingTheGoalGoesStraightToTheBoss) {
    toBoss();
    // The hidden sequence wins at once; then the message and victory keys.
    for (const char* key : {"\x1b[A", "\x1b[A", "\x1b[B", "\x1b[B", "\x1b[D", "\x1b[C", "\x1b[D",
                            "\x1b[C", "b", "\r"}) {
        vt::type(key);
    }
    keys(2);
    EXPECT_EQ(play(), -1);
    EXPECT_EQ(result_, 1);
    EXPECT_EQ(vt::output().find("止まったマスのイベントが発生しました!"), std::string::npos);
    EXPECT_NE(vt::output().find("ステージボスを撃破した！！"), std::string::npos);
    EXPECT_FALSE(vt::inputExhausted());
}

TEST_F(StageLoop, FleeingTheBossBlowsThePlayerBack) {
    toBoss();
    for (const char* key : {"\x1b[B", "\x1b[B", "\x1b[C", "\r"}) {  // にげる
        vt::type(key);
    }
    keys(2);               // the flight message, the blow-back page
    EXPECT_EQ(play(), 1);  // the script ends at the next turn prompt
    EXPECT_TRUE(vt::inputExhausted());
    // The next turn is asked under the blow-back message, without a board.
    const ScreenGrid& last = vt::snapshots().back();
    EXPECT_EQ(last.textAt(8, 20, 12), "ボスの吹き飛");
    EXPECT_SNAPSHOT_TEXT_AT(last, 1, 40, kTurnPrompt);
    EXPECT_EQ(last.textAt(1, 1, 4), "    ");
}

}  // namespace
