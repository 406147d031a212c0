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

// Runs one result with plenty of keys; returns what it returned.
int apply(const Player& p, int lifeDelta, int coinDelta, int expGain, int outcome) {
    vt::reset();
    applyNewGameDefaults();
    player.life = p.life, player.maxLifeUnits = p.maxLifeUnits, player.coin = p.coin;
    player.exp = p.exp, player.level = p.level;
    for (int i = 0; i < 10; ++i) {
        vt::type(" ");
    }
    int result = -1;
    EXPECT_EQ(vt::run([&] { result = applyBattleResult(lifeDelta, coinDelta, expGain, outcome); }),
              -1);
    return result;
}

TEST(ApplyBattleResult, Rules) {
    struct Case {
        const char* name;
        Player before;
        int lifeDelta, coinDelta, expGain, outcome;
        int result;
        Player after;  // maxLifeUnits unused
        int keyWaits;
    };
    const Case cases[] = {
        {"exact LIFE: game over", {3, 1, 500, 10, 1}, 3, 100, 0, 0, 0, {0, 0, 500, 10, 1}, 5},
        {"one short: no exp", {3, 1, 500, 10, 1}, 2, 100, 99, 0, 1, {1, 0, 400, 10, 1}, 2},
        {"COIN floor", {5, 1, 40, 0, 1}, 1, 75, 0, 0, 1, {4, 0, 0, 0, 1}, 2},
        {"credit multiplied", {5, 1, 0, 0, 1}, 0, 100, 0, 2, 2, {5, 0, 200, 0, 1}, 1},
        {"cap line at 99999", {5, 1, 99899, 0, 1}, 0, 100, 0, 1, 1, {5, 0, 99999, 0, 1}, 2},
        {"one below the cap", {5, 1, 99898, 0, 1}, 0, 100, 0, 1, 1, {5, 0, 99998, 0, 1}, 1},
        {"no overflow", {5, 1, INT_MAX, 0, 1}, 0, 112500, 0, 150, 150, {5, 0, 99999, 0, 1}, 2},
        {"heal to the maximum", {2, 2, 0, 0, 1}, 30, 0, 0, 1, 1, {10, 0, 0, 0, 1}, 1},
        {"exp short of 100", {5, 1, 0, 94, 1}, 0, 0, 5, 1, 1, {5, 0, 0, 99, 1}, 1},
        {"one level per result", {5, 1, 0, 95, 3}, 0, 0, 250, 1, 1, {5, 0, 0, 0, 4}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(apply(c.before, c.lifeDelta, c.coinDelta, c.expGain, c.outcome), c.result);
        EXPECT_EQ(player.life, c.after.life);
        EXPECT_EQ(player.coin, c.after.coin);
        EXPECT_EQ(player.exp, c.after.exp);
        EXPECT_EQ(player.level, c.after.level);
        EXPECT_EQ(vt::snapshots().size(), static_cast<std::size_t>(c.keyWaits));
    }
}

TEST(ApplyBattleResult, GameOverPage) {
    EXPECT_EQ(apply({2, 1, 300, 0, 1}, 4, 150, 0, 0), 0);
    const auto& s = vt::snapshots();
    ASSERT_EQ(s.size(), 5u);
    // Values before the change with the result line, then LIFE 0, then the three lines.
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 10, "LIFE :  2/ 5 , COIN :   300 , LV : 1 経験値( 0/100)");
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 20, "このBattleでの結果 :  LIFE -4  , COIN -150");
    EXPECT_SNAPSHOT_TEXT_AT(s[1], 8, 10, "LIFE :  0/ 5 , COIN :   300");
    EXPECT_SNAPSHOT_TEXT_AT(s[2], 8, 20, "なんと！  ライフが 0 になってしまった !");
    EXPECT_SNAPSHOT_TEXT_AT(s[3], 8, 22, "意識を失い、モンスターからタコ殴りにされてしまった");
    EXPECT_SNAPSHOT_TEXT_AT(s[4], 8, 24, "これ以上  ゲームを続けることができません");
}

TEST(ApplyBattleResult, WinPageWithCapAndLevelLines) {
    EXPECT_EQ(apply({3, 2, 99950, 96, 2}, 2, 100, 7, 3), 3);
    const auto& s = vt::snapshots();
    ASSERT_EQ(s.size(), 3u);
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 10, "LIFE :  3/10 , COIN : 99950 , LV : 2 経験値(96/100)");
    // The credited amount is shown as passed, before the multiplier.
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 20, "このBattleでの結果 :  LIFE +2  , COIN +100 , 経験値 +7");
    EXPECT_SNAPSHOT_TEXT_AT(s[0], 8, 22, "COINは 99999G 以上 持てません");
    EXPECT_SNAPSHOT_TEXT_AT(s[1], 8, 24, "～♪ レベルが 3 に上がった ♪～");
    EXPECT_SNAPSHOT_TEXT_AT(s[2], 8, 10, "LIFE :  5/10 , COIN : 99999 , LV : 3 経験値( 0/100)");
}

}  // namespace
