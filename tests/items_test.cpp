// Item effects: LIFE heals and their cap, the boss battle's amounts, the die effects.
#include "items/items.hpp"

#include <gtest/gtest.h>

#include "state/player_state.hpp"

namespace {

TEST(ItemEffects, HealsCappedOutsideTheBossBattle) {
    // Item, maximum LIFE units, LIFE before and after; a full LIFE still spends the item.
    const int cases[][4] = {{Heal15, 5, 20, 25}, {Heal15, 5, 10, 25}, {Heal15, 5, 9, 24},
                            {Heal3, 1, 5, 5},    {Heal7, 3, 1, 8},    {HealFull, 4, 1, 20}};
    for (const UseContext context : {UseContext::MainMenu, UseContext::StageTurn}) {
        for (const auto& [kind, units, before, after] : cases) {
            applyNewGameDefaults();
            player.maxLifeUnits = units;
            player.life = before;
            EXPECT_EQ(applyItemEffect(kind, context), 0);
            EXPECT_EQ(player.life, after) << kind << " from " << before;
        }
    }
}

TEST(ItemEffects, BossBattleGetsTheAmountAndLifeStays) {
    const int expected[][2] = {{Heal3, 3}, {Heal7, 7}, {Heal15, 15}, {HealFull, -1}};
    for (const auto& [kind, amount] : expected) {
        applyNewGameDefaults();
        player.life = 2;
        EXPECT_EQ(applyItemEffect(kind, UseContext::BossBattle), amount);
        EXPECT_EQ(player.life, 2);
    }
}

TEST(ItemEffects, DieItemsReplaceEachOtherAndDoNotAddTurns) {
    applyNewGameDefaults();
    applyItemEffect(DieShowsThree, UseContext::StageTurn);
    EXPECT_EQ(player.moveEffect, MoveEffectThree);
    for (int use = 0; use < 2; ++use) {
        EXPECT_EQ(applyItemEffect(DieShowsSix, UseContext::StageTurn), 0);
        EXPECT_EQ(player.moveEffect, MoveEffectSix);
        EXPECT_EQ(player.moveEffectTurns, 1);
    }
}

}  // namespace
