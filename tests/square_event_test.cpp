// Square events: the four happenings, a lost mini-game, the mini-game rewards and experience.
#include "board/square_event.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>

#include "board/board.hpp"
#include "console/random.hpp"
#include "state/player_state.hpp"
#include "support/key_script.hpp"
#include "support/screen_expect.hpp"
#include "support/seed_search.hpp"
#include "support/virtual_platform.hpp"

namespace {

// A clock whose seed gives the event roll and then a draw that is `next` modulo `mod`.
std::int64_t clockWhere(int roll, int mod = 1, int next = 0) {
    return findSeedSecond([&] { return nextRandom() % 20 == roll && nextRandom() % mod == next; });
}

TEST(SquareEvent, HappeningsAndALostMiniGame) {
    // Roll 12 is High & Low. Answered at once, both its seedings fall in the event's second, so
    // its cards are the first two of that second's sequence: take a second without a tie and
    // give the wrong answer, which costs the last LIFE.
    int first = 0, second = 0;
    const std::int64_t highAndLow = findSeedSecond([&] {
        const bool roll = nextRandom() % 20 == 12;
        first = nextRandom() % 13 + 1;
        nextRandom();
        second = nextRandom() % 13 + 1;
        return roll && first != second;
    });
    const Keys wrong = {" ", second > first ? "0\r" : "1\r"};
    struct Case {
        std::int64_t clock;
        int stage, life, maxLifeUnits, coin, lifeAfter, coinAfter;
        const char* result;  // after "このBattleでの結果 :  " on the result page
        const char* lines;   // "row text" lines on the event page, from column 11
        Keys keys = {};
    };
    const Case cases[] = {
        {clockWhere(0), 2, 5, 1, 100, 3, 100, "LIFE -2  , COIN -0",
         "16 うわっ！！ トラップだ!!\n18 ライフが 2 減ってしまった !"},
        {clockWhere(1, 10, 0), 2, 5, 1, 1000, 5, 700, "LIFE -0  , COIN -300",
         "16 何だかサイフが軽くなった気がする・・・\n20 300 G 落としたみたいだ・・・"},
        // 75 lost with 40 held takes it all
        {clockWhere(1, 10, 1), 1, 5, 1, 40, 5, 0, "LIFE -0  , COIN -75",
         "20 40 G 落としたみたいだ・・・\n21 なけなしの全財産を落としてしまうなんて・・・"},
        {clockWhere(1, 10, 4), 1, 5, 1, 0, 5, 0, "LIFE -0  , COIN -30",
         "20 ・・・と思ったが、元からCOINなど、もっていなかった・・・"},
        {clockWhere(2), 1, 2, 1, 0, 3, 0, "LIFE +1  , COIN +0 , 経験値 +0",
         "16 回復の泉を発見した!!\n18 ライフが 1 回復した !"},
        {clockWhere(2), 4, 8, 2, 0, 10, 0, "LIFE +4  , COIN +0 , 経験値 +0",
         "18 ライフが 2 回復した !\n19 ライフが最大値まで回復した"},
        // at full LIFE, and over-full LIFE brought down
        {clockWhere(2), 1, 5, 1, 0, 5, 0, "LIFE +1  , COIN +0 , 経験値 +0",
         "18 残念 ! ライフは最大だ !"},
        {clockWhere(2), 2, 8, 1, 0, 5, 0, "LIFE +2  , COIN +0 , 経験値 +0",
         "18 残念 ! ライフは最大だ !"},
        {clockWhere(3, 5, 1), 2, 5, 1, 100, 5, 1600, "LIFE +0  , COIN +1500 , 経験値 +0",
         "16 地面に何か光るものを発見した!!\n18 1500 G 拾った!!   ラッキー♪"},
        {highAndLow, 3, 3, 1, 1000, 0, 1000, "LIFE -3  , COIN -450", "", wrong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        vt::Options options;
        options.wallClockStart = c.clock;
        vt::reset(options);
        applyNewGameDefaults();
        player.life = c.life, player.maxLifeUnits = c.maxLifeUnits, player.coin = c.coin;
        typeKeys(c.keys);
        typeSpaces(12);
        int returned = -1;
        EXPECT_EQ(vt::run([&] { returned = squareEvent(c.stage); }), -1);
        std::istringstream in(c.lines);
        int row = 0;
        for (std::string text; in >> row && std::getline(in >> std::ws, text);) {
            EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[0], 1, row, std::string(10, ' ') + text);
        }
        EXPECT_NE(vt::output().find(std::string("\x1b[20;8HこのBattleでの結果 :  ") + c.result),
                  std::string::npos);
        EXPECT_EQ(player.life, c.lifeAfter);
        EXPECT_EQ(player.coin, c.coinAfter);
        EXPECT_EQ(returned, c.lifeAfter);
    }
}
// Result 0 is a loss, which gives no experience; a win gives 10 per stage at level 1.
TEST(MiniGameReward, EveryRowAndStageAndExperience) {
    struct Case {
        int firstRoll, lastRoll, result, life[5], coin[5];
    };
    const Case cases[] = {
        {4, 5, 0, {1, 1, 2, 2, 2}, {50, 100, 150, 200, 250}},     // batting
        {6, 6, 0, {1, 1, 1, 1, 2}, {15, 30, 45, 60, 75}},         // bingo of 99
        {7, 7, 0, {1, 1, 1, 2, 2}, {18, 37, 56, 75, 93}},         // bingo of 50
        {8, 9, 0, {1, 1, 2, 2, 2}, {25, 50, 75, 100, 125}},       // bingo of 25
        {10, 10, 0, {1, 1, 1, 2, 2}, {30, 60, 90, 120, 150}},     // ladder, one line
        {11, 11, 0, {1, 2, 2, 3, 3}, {50, 100, 150, 200, 250}},   // ladder, two lines
        {12, 19, 0, {1, 2, 3, 4, 5}, {150, 300, 450, 600, 750}},  // the others
        {5, 5, 13, {4, 8, 12, 16, 20}, {1950, 3900, 5850, 7800, 9750}},
        {6, 6, 3, {5, 8, 11, 14, 17}, {6750, 13500, 20250, 27000, 33750}},
        {7, 7, 5, {6, 11, 16, 21, 26}, {5250, 10500, 15750, 21000, 26250}},
        {9, 9, 4, {4, 8, 12, 16, 20}, {1200, 2400, 3600, 4800, 6000}},
        {10, 10, 1, {1, 1, 1, 2, 2}, {750, 1500, 2250, 3000, 3750}},
        {11, 11, 1, {1, 2, 2, 3, 3}, {450, 900, 1350, 1800, 2250}},
        {12, 12, 1, {1, 2, 3, 4, 5}, {150, 300, 450, 600, 750}},
        {14, 14, 150, {75, 150, 225, 300, 375}, {22500, 45000, 67500, 90000, 112500}},
        {16, 16, 1, {0, 1, 1, 2, 2}, {150, 300, 450, 600, 750}},
    };
    applyNewGameDefaults();
    for (const Case& c : cases) {
        for (int roll = c.firstRoll; roll <= c.lastRoll; ++roll) {
            for (int stage = 1; stage <= 5; ++stage) {
                SCOPED_TRACE(testing::Message()
                             << "roll " << roll << ", result " << c.result << ", stage " << stage);
                const BattleResult reward = miniGameReward(roll, stage, c.result);
                EXPECT_EQ(reward.lifeDelta, c.life[stage - 1]);
                EXPECT_EQ(reward.coinDelta, c.coin[stage - 1]);
                EXPECT_EQ(reward.expGain, c.result == 0 ? 0 : 10 * stage);
                EXPECT_EQ(reward.outcome, c.result);
            }
        }
    }
    // stage, level, highest stage, gain: (10 / 4) / 2 for an outgrown stage; not halved at the
    // highest stage reached or when none higher was; a damaged save's level 0 counts as 1.
    for (const auto& [stage, level, highest, gain] :
         {std::array{1, 4, 3, 1}, {3, 4, 3, 7}, {1, 4, 1, 2}, {2, 0, 1, 20}}) {
        player.level = level, player.highestStage = highest;
        EXPECT_EQ(miniGameExperience(stage), gain) << stage << " " << level;
    }
}

}  // namespace
