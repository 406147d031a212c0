// Square events: the four happenings, the mini-game rewards and experience.
#include "board/square_event.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "board/board.hpp"
#include "console/random.hpp"
#include "frontend/main_loop.hpp"
#include "state/player_state.hpp"
#include "support/map_directory.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

// A clock whose seed gives the event roll and, after it, a next draw the test wants.
std::int64_t clockWhere(int roll, const std::function<bool(int next)>& wanted = nullptr) {
    for (std::int64_t t = 1'800'000'000;; ++t) {
        seedRandom(static_cast<std::uint32_t>(t));
        if (nextRandom() % 20 == roll && (!wanted || wanted(nextRandom()))) {
            return t;
        }
    }
}

struct Start {
    int life, maxLifeUnits, coin;
};

// Runs one event with the given keys first, then plenty of spaces; returns what squareEvent
// returned.
int runEvent(std::int64_t clock, int stage, const Start& start,
             const std::vector<std::string>& keysFirst = {}) {
    vt::Options options;
    options.wallClockStart = clock;
    vt::reset(options);
    applyNewGameDefaults();
    player.life = start.life;
    player.maxLifeUnits = start.maxLifeUnits;
    player.coin = start.coin;
    for (const std::string& key : keysFirst) {
        vt::type(key);
    }
    for (int i = 0; i < 12; ++i) {
        vt::type(" ");
    }
    int life = -1;
    EXPECT_EQ(vt::run([&] { life = squareEvent(stage); }), -1);
    return life;
}

TEST(SquareEvent, Happenings) {
    struct Line {
        int row;
        const char* text;  // from column 11
    };
    struct Case {
        const char* name;
        std::int64_t clock;
        int stage;
        Start start;
        std::vector<Line> lines;
        const char* result;  // the result line from column 8 of row 20
        int life, coin, returned;
    };
    const Case cases[] = {
        {"a trap takes s LIFE",
         clockWhere(0),
         2,
         {5, 1, 100},
         {{16, "うわっ！！ トラップだ!!"},
          {18, "ライフが 2 減ってしまった !"},
          {20, "これは痛い！！"}},
         "このBattleでの結果 :  LIFE -2  , COIN -0",
         3,
         100,
         3},
        {"a trap at stage 3 with LIFE 3 is game over",
         clockWhere(0),
         3,
         {3, 1, 100},
         {{18, "ライフが 3 減ってしまった !"}},
         "このBattleでの結果 :  LIFE -3  , COIN -0",
         0,
         100,
         0},
        {"a lost wallet",
         clockWhere(1, [](int next) { return next % 10 == 0; }),
         2,
         {5, 1, 1000},
         {{16, "何だかサイフが軽くなった気がする・・・"},
          {18, "なんとサイフに穴があいている !! 最悪だ !"},
          {20, "300 G 落としたみたいだ・・・"}},
         "このBattleでの結果 :  LIFE -0  , COIN -300",
         5,
         700,
         5},
        {"a lost wallet of 75 with 40 COIN takes it all",
         clockWhere(1, [](int next) { return next % 10 == 1; }),
         1,
         {5, 1, 40},
         {{20, "40 G 落としたみたいだ・・・"},
          {21, "なけなしの全財産を落としてしまうなんて・・・"}},
         "このBattleでの結果 :  LIFE -0  , COIN -75",
         5,
         0,
         5},
        {"a lost wallet when there was nothing in it",
         clockWhere(1, [](int next) { return next % 10 == 4; }),
         1,
         {5, 1, 0},
         {{20, "・・・と思ったが、元からCOINなど、もっていなかった・・・"},
          {21, "不幸中の幸い、とポジティブに捉えて、がんばろう"}},
         "このBattleでの結果 :  LIFE -0  , COIN -30",
         5,
         0,
         5},
        {"a fountain heals s LIFE",
         clockWhere(2),
         1,
         {2, 1, 0},
         {{16, "回復の泉を発見した!!"}, {18, "ライフが 1 回復した !"}},
         "このBattleでの結果 :  LIFE +1  , COIN +0 , 経験値 +0",
         3,
         0,
         3},
        {"a fountain at stage 4 with 2 LIFE missing",
         clockWhere(2),
         4,
         {8, 2, 0},
         {{18, "ライフが 2 回復した !"}, {19, "ライフが最大値まで回復した"}},
         "このBattleでの結果 :  LIFE +4  , COIN +0 , 経験値 +0",
         10,
         0,
         10},
        {"a fountain at full LIFE; an over-full LIFE is brought down",
         clockWhere(2),
         2,
         {8, 1, 0},
         {{18, "残念 ! ライフは最大だ !"}},
         "このBattleでの結果 :  LIFE +2  , COIN +0 , 経験値 +0",
         5,
         0,
         5},
        {"found coins",
         clockWhere(3, [](int next) { return next % 5 == 1; }),
         2,
         {5, 1, 100},
         {{16, "地面に何か光るものを発見した!!"}, {18, "1500 G 拾った!!   ラッキー♪"}},
         "このBattleでの結果 :  LIFE +0  , COIN +1500 , 経験値 +0",
         5,
         1600,
         5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const int returned = runEvent(c.clock, c.stage, c.start);
        const auto& s = vt::snapshots();
        ASSERT_GE(s.size(), 2u);
        for (const Line& line : c.lines) {
            EXPECT_SNAPSHOT_TEXT_AT(s[0], 1, line.row, std::string(10, ' ') + line.text);
        }
        EXPECT_EQ(s[0].textAt(1, 15, 80), std::string(80, ' '));
        EXPECT_SNAPSHOT_TEXT_AT(s[1], 8, 20, c.result);
        EXPECT_EQ(player.life, c.life);
        EXPECT_EQ(player.coin, c.coin);
        EXPECT_EQ(player.exp, 0);
        EXPECT_EQ(returned, c.returned);
    }
}

// A lost mini-game's amounts follow the loss table for every roll and stage.
TEST(SquareEvent, LostMiniGamesForEveryRollAndStage) {
    struct Loss {
        int life[5];
        int coin[5];
    };
    const Loss batting{{1, 1, 2, 2, 2}, {50, 100, 150, 200, 250}};
    const Loss bingo99{{1, 1, 1, 1, 2}, {15, 30, 45, 60, 75}};
    const Loss bingo50{{1, 1, 1, 2, 2}, {18, 37, 56, 75, 93}};
    const Loss bingo25{{1, 1, 2, 2, 2}, {25, 50, 75, 100, 125}};
    const Loss ladder1{{1, 1, 1, 2, 2}, {30, 60, 90, 120, 150}};
    const Loss ladder2{{1, 2, 2, 3, 3}, {50, 100, 150, 200, 250}};
    const Loss plain{{1, 2, 3, 4, 5}, {150, 300, 450, 600, 750}};
    const Loss* const byRoll[20] = {nullptr,  nullptr,  nullptr,  nullptr,  &batting,
                                    &batting, &bingo99, &bingo50, &bingo25, &bingo25,
                                    &ladder1, &ladder2, &plain,   &plain,   &plain,
                                    &plain,   &plain,   &plain,   &plain,   &plain};
    for (int roll = 4; roll < 20; ++roll) {
        for (int stage = 1; stage <= 5; ++stage) {
            SCOPED_TRACE(testing::Message() << "roll " << roll << ", stage " << stage);
            const Loss& loss = *byRoll[roll];
            const Reward reward = miniGameReward(roll, stage, 0);
            EXPECT_EQ(reward.lifeDelta, loss.life[stage - 1]);
            EXPECT_EQ(reward.coinDelta, loss.coin[stage - 1]);
            EXPECT_EQ(reward.expGain, 0);
            EXPECT_EQ(reward.outcome, 0);
        }
    }
}

TEST(SquareEvent, ALostMiniGameCanEndTheGame) {
    // Roll 12 is High & Low. Answered at once, both its seedings fall in the event's second, so
    // its cards are the first two of that second's sequence: take a second without a tie and
    // give the wrong answer.
    std::int64_t clock = 0;
    int wrongAnswer = 0;
    for (std::int64_t t = 1'800'000'000; clock == 0; ++t) {
        seedRandom(static_cast<std::uint32_t>(t));
        if (nextRandom() % 20 != 12) {
            continue;
        }
        const int first = nextRandom() % 13 + 1;
        nextRandom();
        const int second = nextRandom() % 13 + 1;
        if (first != second) {
            clock = t;
            wrongAnswer = second > first ? 0 : 1;
        }
    }
    const int returned =
        runEvent(clock, 3, {3, 1, 1000}, {" ", std::to_string(wrongAnswer) + "\r"});
    EXPECT_EQ(returned, 0);
    EXPECT_EQ(player.life, 0);
    EXPECT_EQ(player.coin, 1000);
}

// From the title to the end of the program: five traps at stage 1 take the five LIFE of a new
// game, and the game over ends the process with status 1.
TEST(SquareEvent, GameOverEndsTheProgramWithStatusOne) {
    MapDirectory maps;
    const auto scriptToStage = [] {
        vt::type("x");                   // start-up hint
        vt::typeLines({"1", "1", "1"});  // title, main menu, stage 1
    };
    // How long the title sequence takes, so that the square events' clock can be chosen.
    vt::reset();
    scriptToStage();
    vt::run([] { runGame(); });
    const std::int64_t secondsToStage = vt::nowMs() / 1000;

    vt::Options options;
    options.wallClockStart = clockWhere(0) - secondsToStage;
    vt::reset(options);
    scriptToStage();
    for (int i = 0; i < 2; ++i) {  // the board, then no help
        vt::typeLines({i == 0 ? " " : "0"});
    }
    // Keys answered at once cost no time, so every event falls in the same second: all traps.
    // A survived trap turn takes 8 keys after the choice; the last one 11 (the game-over lines).
    for (int turn = 1; turn <= 5; ++turn) {
        vt::typeLines({"1"});
        for (int i = 0; i < (turn < 5 ? 8 : 11); ++i) {
            vt::type(" ");
        }
    }
    vt::type(" ");  // after the stage
    vt::type(" ");  // the game-over page
    const int status = vt::run([] { runGame(); });
    EXPECT_EQ(status, 1);
    EXPECT_FALSE(vt::inputExhausted());
    EXPECT_EQ(player.life, 0);
    EXPECT_NE(vt::output().find("これ以上  ゲームを続けることができません"), std::string::npos);
}

TEST(MiniGameReward, WonGamesForEveryStage) {
    struct Case {
        int roll, result;
        int amounts[5][2];  // LIFE and COIN as passed, stages 1 to 5
    };
    const Case cases[] = {
        {4, 2, {{1, 300}, {2, 600}, {3, 900}, {4, 1200}, {5, 1500}}},
        {5, 13, {{4, 1950}, {8, 3900}, {12, 5850}, {16, 7800}, {20, 9750}}},
        {6, 3, {{5, 6750}, {8, 13500}, {11, 20250}, {14, 27000}, {17, 33750}}},
        {7, 5, {{6, 5250}, {11, 10500}, {16, 15750}, {21, 21000}, {26, 26250}}},
        {8, 1, {{1, 300}, {2, 600}, {3, 900}, {4, 1200}, {5, 1500}}},
        {9, 4, {{4, 1200}, {8, 2400}, {12, 3600}, {16, 4800}, {20, 6000}}},
        {10, 1, {{1, 750}, {1, 1500}, {1, 2250}, {2, 3000}, {2, 3750}}},
        {11, 1, {{1, 450}, {2, 900}, {2, 1350}, {3, 1800}, {3, 2250}}},
        {12, 1, {{1, 150}, {2, 300}, {3, 450}, {4, 600}, {5, 750}}},
        {14, 150, {{75, 22500}, {150, 45000}, {225, 67500}, {300, 90000}, {375, 112500}}},
        {15, 2, {{1, 300}, {2, 600}, {3, 900}, {4, 1200}, {5, 1500}}},
        {16, 1, {{0, 150}, {1, 300}, {1, 450}, {2, 600}, {2, 750}}},
        {18, 1, {{0, 150}, {1, 300}, {1, 450}, {2, 600}, {2, 750}}},
    };
    applyNewGameDefaults();
    for (const Case& c : cases) {
        for (int stage = 1; stage <= 5; ++stage) {
            SCOPED_TRACE(testing::Message() << "roll " << c.roll << ", stage " << stage);
            const Reward reward = miniGameReward(c.roll, stage, c.result);
            EXPECT_EQ(reward.lifeDelta, c.amounts[stage - 1][0]);
            EXPECT_EQ(reward.coinDelta, c.amounts[stage - 1][1]);
            EXPECT_EQ(reward.expGain, 10 * stage);
            EXPECT_EQ(reward.outcome, c.result);
        }
    }
}

TEST(MiniGameReward, Experience) {
    struct Case {
        int stage, level, highestStage, gain;
    };
    const Case cases[] = {
        {2, 1, 1, 20},  //
        {1, 4, 3, 1},   // (10 / 4) / 2: an outgrown stage
        {3, 4, 3, 7},   // not halved: the stage is the highest reached
        {1, 4, 1, 2},   // not halved: no higher stage reached yet
        {5, 60, 5, 0},  //
        {2, 0, 1, 20},  // a damaged save's level 0 counts as 1
    };
    for (const Case& c : cases) {
        applyNewGameDefaults();
        player.level = c.level;
        player.highestStage = c.highestStage;
        EXPECT_EQ(miniGameExperience(c.stage), c.gain)
            << "stage " << c.stage << ", level " << c.level;
        EXPECT_EQ(miniGameReward(4, c.stage, 0).expGain, 0);
    }
}

}  // namespace
