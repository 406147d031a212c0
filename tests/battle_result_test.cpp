// The battle-result page: what it shows and what it does to the player state.
#include "state/battle_result.hpp"

#include <gtest/gtest.h>

#include <climits>

#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

struct Player {
    int life, maxLifeUnits, coin, exp, level;
};

struct Outcome {
    int result, life, coin, exp, level;
};

// Runs one result with plenty of keys; returns how many key waits it made.
int applyWithKeys(const Player& before, int lifeDelta, int coinDelta, int expGain, int outcome,
                  int& result) {
    vt::reset();
    applyNewGameDefaults();
    player.life = before.life;
    player.maxLifeUnits = before.maxLifeUnits;
    player.coin = before.coin;
    player.exp = before.exp;
    player.level = before.level;
    for (int i = 0; i < 10; ++i) {
        vt::type(" ");
    }
    EXPECT_EQ(vt::run([&] { result = applyBattleResult(lifeDelta, coinDelta, expGain, outcome); }),
              -1);
    return static_cast<int>(vt::snapshots().size());
}

TEST(ApplyBattleResult, Rules) {
    struct Case {
        const char* name;
        Player before;
        int lifeDelta, coinDelta, expGain, outcome;
        Outcome after;
        int keyWaits;
        bool capLine, levelLine;
    };
    const Case cases[] = {
        {"a loss of exactly the current LIFE is game over and keeps COIN",
         {3, 1, 500, 10, 1},
         3,
         100,
         0,
         0,
         {0, 0, 500, 10, 1},
         5,
         false,
         false},
        {"a loss one short of it is survived",
         {3, 1, 500, 10, 1},
         2,
         100,
         0,
         0,
         {1, 1, 400, 10, 1},
         2,
         false,
         false},
        {"a loss of more COIN than held leaves 0",
         {5, 1, 40, 0, 1},
         1,
         75,
         0,
         0,
         {1, 4, 0, 0, 1},
         2,
         false,
         false},
        {"a loss gives no experience",
         {5, 1, 0, 50, 1},
         1,
         0,
         99,
         0,
         {1, 4, 0, 50, 1},
         2,
         false,
         false},
        {"the credit is multiplied by the outcome",
         {5, 1, 0, 0, 1},
         0,
         100,
         0,
         2,
         {2, 5, 200, 0, 1},
         1,
         false,
         false},
        {"exactly 99999 shows the cap line",
         {5, 1, 99899, 0, 1},
         0,
         100,
         0,
         1,
         {1, 5, 99999, 0, 1},
         2,
         true,
         false},
        {"one below the cap does not",
         {5, 1, 99898, 0, 1},
         0,
         100,
         0,
         1,
         {1, 5, 99998, 0, 1},
         1,
         false,
         false},
        {"a saved fortune does not overflow",
         {5, 1, INT_MAX, 0, 1},
         0,
         112500,
         0,
         150,
         {150, 5, 99999, 0, 1},
         2,
         true,
         false},
        {"LIFE heals up to the maximum",
         {2, 2, 0, 0, 1},
         30,
         0,
         0,
         1,
         {1, 10, 0, 0, 1},
         1,
         false,
         false},
        {"LIFE already at the maximum stays there",
         {5, 1, 0, 0, 1},
         3,
         0,
         0,
         1,
         {1, 5, 0, 0, 1},
         1,
         false,
         false},
        {"experience short of 100",
         {5, 1, 0, 94, 1},
         0,
         0,
         5,
         1,
         {1, 5, 0, 99, 1},
         1,
         false,
         false},
        {"100 experience is a level; the surplus is dropped",
         {5, 1, 0, 95, 3},
         0,
         0,
         10,
         1,
         {1, 5, 0, 0, 4},
         2,
         false,
         true},
        {"one level per result however much",
         {5, 1, 0, 95, 3},
         0,
         0,
         250,
         1,
         {1, 5, 0, 0, 4},
         2,
         false,
         true},
        {"cap and level on one page",
         {5, 1, 99000, 99, 1},
         1,
         1000,
         1,
         1,
         {1, 5, 99999, 0, 2},
         3,
         true,
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int result = -1;
        const int waits =
            applyWithKeys(c.before, c.lifeDelta, c.coinDelta, c.expGain, c.outcome, result);
        EXPECT_EQ(result, c.after.result);
        EXPECT_EQ(player.life, c.after.life);
        EXPECT_EQ(player.coin, c.after.coin);
        EXPECT_EQ(player.exp, c.after.exp);
        EXPECT_EQ(player.level, c.after.level);
        EXPECT_EQ(waits, c.keyWaits);
        EXPECT_EQ(vt::textAt(8, 22, 6) == "COINは", c.capLine);
        EXPECT_EQ(vt::textAt(8, 24, 6) == "～♪ レ", c.levelLine);
    }
}

TEST(ApplyBattleResult, GameOverPage) {
    int result = -1;
    applyWithKeys({2, 1, 300, 0, 1}, 4, 150, 0, 0, result);
    const auto& s = vt::snapshots();
    ASSERT_EQ(s.size(), 5u);
    // Values before the change with the result line, then LIFE 0, then the three lines.
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 10, "LIFE :  2/ 5 , COIN :   300 , LV : 1 経験値( 0/100)");
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 20, "このBattleでの結果 :  LIFE -4  , COIN -150");
    EXPECT_SNAPSHOT_TEXT_AT(s[1], 8, 10, "LIFE :  0/ 5 , COIN :   300");
    EXPECT_SNAPSHOT_TEXT_AT(s[2], 8, 20, "なんと！  ライフが 0 になってしまった !");
    EXPECT_SNAPSHOT_TEXT_AT(s[3], 8, 22, "意識を失い、モンスターからタコ殴りにされてしまった");
    EXPECT_SNAPSHOT_TEXT_AT(s[4], 8, 24, "これ以上  ゲームを続けることができません");
    EXPECT_EQ(result, 0);
}

TEST(ApplyBattleResult, WinPage) {
    int result = -1;
    applyWithKeys({3, 2, 99950, 96, 2}, 2, 100, 7, 3, result);
    const auto& s = vt::snapshots();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 10, "LIFE :  3/10 , COIN : 99950 , LV : 2 経験値(96/100)");
    // The credited amount is shown as passed, before the multiplier.
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 20, "このBattleでの結果 :  LIFE +2  , COIN +100 , 経験値 +7");
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 22, "COINは 99999G 以上 持てません");
    EXPECT_SNAPSHOT_TEXT_AT(s[1], 8, 24, "～♪ レベルが 3 に上がった ♪～");
    EXPECT_SNAPSHOT_TEXT_AT(s[2], 8, 10, "LIFE :  5/10 , COIN : 99999 , LV : 3 経験値( 0/100)");
    EXPECT_EQ(result, 3);
}

}  // namespace
