// The battle-result page: what it shows and what it does to the player state.
#include "state/battle_result.hpp"

#include "support/play.hpp"

TEST(ApplyBattleResult, Rules) {
    // Name; life, maxLifeUnits, coin, exp, level before; lifeDelta, coinDelta, expGain, outcome;
    // the result; life, coin, exp, level after; the key waits, and golden pages among them.
    using Pages = std::vector<std::pair<int, const char*>>;
    // clang-format off
    const std::tuple<const char*, std::array<int, 5>, std::array<int, 4>, int, std::array<int, 4>,
                     std::size_t, Pages> cases[] = {
        // Values before the change with the result line, then LIFE 0, then the three lines, the
        // first over the result line and the rest of it blanked.
        {"exact LIFE: game over", {3, 1, 500, 10, 1}, {3, 150, 0, 0}, 0, {0, 500, 10, 1}, 5,
         {{0, "battle_result_loss"}, {2, "battle_result_life_zero"},
          {4, "battle_result_game_over"}}},
        {"one short: no exp", {3, 1, 500, 10, 1}, {2, 100, 99, 0}, 1, {1, 400, 10, 1}, 2, {}},
        {"COIN floor", {5, 1, 40, 0, 1}, {1, 75, 0, 0}, 1, {4, 0, 0, 1}, 2, {}},
        {"credit multiplied", {5, 1, 0, 0, 1}, {0, 100, 0, 2}, 2, {5, 200, 0, 1}, 1, {}},
        {"cap line at 99999", {5, 1, 99899, 0, 1}, {0, 100, 0, 1}, 1, {5, 99999, 0, 1}, 2, {}},
        {"one below the cap", {5, 1, 99898, 0, 1}, {0, 100, 0, 1}, 1, {5, 99998, 0, 1}, 1, {}},
        {"no overflow", {5, 1, INT_MAX, 0, 1}, {0, 112500, 0, 150}, 150, {5, 99999, 0, 1}, 2, {}},
        {"heal to the maximum", {2, 2, 0, 0, 1}, {30, 0, 0, 1}, 1, {10, 0, 0, 1}, 1, {}},
        {"exp short of 100", {5, 1, 0, 94, 1}, {0, 0, 5, 1}, 1, {5, 0, 99, 1}, 1, {}},
        {"exp at exactly 100", {5, 1, 0, 94, 1}, {0, 0, 6, 1}, 1, {5, 0, 0, 2}, 2, {}},
        {"one level per result", {5, 1, 0, 95, 3}, {0, 0, 250, 1}, 1, {5, 0, 0, 4}, 2, {}},
        // The credited amount is shown as passed, before the multiplier.
        {"cap and level lines", {3, 2, 99950, 96, 2}, {2, 100, 7, 3}, 3, {5, 99999, 0, 3}, 3,
         {{0, "battle_result_coin_cap"}, {1, "battle_result_level_up"}, {2, "battle_result_won"}}},
    };
    // clang-format on
    for (const auto& [name, before, given, result, after, keyWaits, pages] : cases) {
        newGameAt();
        player.life = before[0], player.maxLifeUnits = before[1], player.coin = before[2];
        player.exp = before[3], player.level = before[4];
        const auto apply = [&] {
            return applyBattleResult(given[0], given[1], given[2], given[3]);
        };
        EXPECT_EQ(playWith(Keys(10, " "), apply), result) << name;
        EXPECT_EQ((std::array{player.life, player.coin, player.exp, player.level}), after) << name;
        EXPECT_EQ(vt::snapshots().size(), keyWaits) << name;
        expectPages(pages);
    }
}
