// The battle-result page: what it shows and what it does to the player state.
#include "state/battle_result.hpp"

#include <gtest/gtest.h>

#include <climits>
#include <tuple>
#include <vector>

#include "state/player_state.hpp"
#include "support/key_script.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

// Text from column 8 of a row of the page at a key wait.
using PageText = std::tuple<std::size_t, int, const char*>;

TEST(ApplyBattleResult, Rules) {
    struct Case {
        const char* name;
        int before[5];  // life, maxLifeUnits, coin, exp, level
        int lifeDelta, coinDelta, expGain, outcome, result;
        int after[4];  // life, coin, exp, level
        std::size_t keyWaits;
        std::vector<PageText> texts;
    };
    // clang-format off
    const Case cases[] = {
        // Values before the change with the result line, then LIFE 0, then the three lines.
        {"exact LIFE: game over", {3, 1, 500, 10, 1}, 3, 150, 0, 0, 0, {0, 500, 10, 1}, 5,
         {{0, 10, "LIFE :  3/ 5 , COIN :   500 , LV : 1 経験値(10/100)"},
          {0, 20, "このBattleでの結果 :  LIFE -3  , COIN -150"},
          {1, 10, "LIFE :  0/ 5 , COIN :   500"},
          // The rest of the longer result line is blanked, to the row's end.
          {2, 20, "なんと！  ライフが 0 になってしまった !" "                                  "},
          {3, 22, "意識を失い、モンスターからタコ殴りにされてしまった"},
          {4, 24, "これ以上  ゲームを続けることができません"}}},
        {"one short: no exp", {3, 1, 500, 10, 1}, 2, 100, 99, 0, 1, {1, 400, 10, 1}, 2, {}},
        {"COIN floor", {5, 1, 40, 0, 1}, 1, 75, 0, 0, 1, {4, 0, 0, 1}, 2, {}},
        {"credit multiplied", {5, 1, 0, 0, 1}, 0, 100, 0, 2, 2, {5, 200, 0, 1}, 1, {}},
        {"cap line at 99999", {5, 1, 99899, 0, 1}, 0, 100, 0, 1, 1, {5, 99999, 0, 1}, 2, {}},
        {"one below the cap", {5, 1, 99898, 0, 1}, 0, 100, 0, 1, 1, {5, 99998, 0, 1}, 1, {}},
        {"no overflow", {5, 1, INT_MAX, 0, 1}, 0, 112500, 0, 150, 150, {5, 99999, 0, 1}, 2, {}},
        {"heal to the maximum", {2, 2, 0, 0, 1}, 30, 0, 0, 1, 1, {10, 0, 0, 1}, 1, {}},
        {"exp short of 100", {5, 1, 0, 94, 1}, 0, 0, 5, 1, 1, {5, 0, 99, 1}, 1, {}},
        {"one level per result", {5, 1, 0, 95, 3}, 0, 0, 250, 1, 1, {5, 0, 0, 4}, 2, {}},
        // The credited amount is shown as passed, before the multiplier.
        {"cap and level lines", {3, 2, 99950, 96, 2}, 2, 100, 7, 3, 3, {5, 99999, 0, 3}, 3,
         {{0, 10, "LIFE :  3/10 , COIN : 99950 , LV : 2 経験値(96/100)"},
          {0, 20, "このBattleでの結果 :  LIFE +2  , COIN +100 , 経験値 +7"},
          {0, 22, "COINは 99999G 以上 持てません"},
          {1, 24, "～♪ レベルが 3 に上がった ♪～"},
          {2, 10, "LIFE :  5/10 , COIN : 99999 , LV : 3 経験値( 0/100)"}}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vt::reset();
        applyNewGameDefaults();
        player.life = c.before[0], player.maxLifeUnits = c.before[1], player.coin = c.before[2];
        player.exp = c.before[3], player.level = c.before[4];
        typeSpaces(10);
        int result = -1;
        const auto apply = [&] {
            result = applyBattleResult(c.lifeDelta, c.coinDelta, c.expGain, c.outcome);
        };
        EXPECT_EQ(vt::run(apply), -1);
        EXPECT_EQ(result, c.result);
        const std::vector<int> after{player.life, player.coin, player.exp, player.level};
        EXPECT_EQ(after, std::vector<int>(c.after, c.after + 4));
        const auto& s = vt::snapshots();
        ASSERT_EQ(s.size(), c.keyWaits);
        for (const auto& [wait, row, text] : c.texts) {
            EXPECT_SNAPSHOT_TEXT_AT(s[wait], 8, row, text);
        }
    }
}

}  // namespace
