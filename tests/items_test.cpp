// Item effects: LIFE heals and their cap, the boss battle's amounts, the die effects.
#include "items/items.hpp"

#include <gtest/gtest.h>

#include "state/player_state.hpp"

namespace {

TEST(ItemEffects, HealsOutsideTheBossBattle) {
    struct Case {
        int effectKind;
        int units;
        int lifeBefore;
        int lifeAfter;
    };
    const Case cases[] = {
        {Heal15, 5, 20, 25},   // capped
        {Heal15, 5, 10, 25},   // reaches the cap exactly
        {Heal15, 5, 9, 24},    // just below it
        {Heal3, 1, 5, 5},      // already full: nothing changes, the item is still spent
        {Heal7, 3, 1, 8},      // an ordinary heal
        {HealFull, 4, 1, 20},  // to the full
    };
    for (const UseContext context : {UseContext::MainMenu, UseContext::StageTurn}) {
        for (const Case& c : cases) {
            applyNewGameDefaults();
            player.maxLifeUnits = c.units;
            player.life = c.lifeBefore;
            EXPECT_EQ(applyItemEffect(c.effectKind, context), 0);
            EXPECT_EQ(player.life, c.lifeAfter) << c.effectKind << " from " << c.lifeBefore;
        }
    }
}

TEST(ItemEffects, BossBattleGetsTheAmountAndLifeStays) {
    const int expected[][2] = {{Heal3, 3}, {Heal7, 7}, {Heal15, 15}, {HealFull, -1}};
    for (const auto& [kind, amount] : expected) {
        applyNewGameDefaults();
        player.maxLifeUnits = 3;
        player.life = 2;
        EXPECT_EQ(applyItemEffect(kind, UseContext::BossBattle), amount);
        EXPECT_EQ(player.life, 2);
    }
}

TEST(ItemEffects, DieItemsReplaceEachOtherAndDoNotAddTurns) {
    applyNewGameDefaults();
    EXPECT_EQ(applyItemEffect(DieShowsThree, UseContext::StageTurn), 0);
    EXPECT_EQ(player.moveEffect, MoveEffectThree);
    EXPECT_EQ(player.moveEffectTurns, 1);
    EXPECT_EQ(applyItemEffect(DieShowsSix, UseContext::StageTurn), 0);
    EXPECT_EQ(player.moveEffect, MoveEffectSix);
    EXPECT_EQ(player.moveEffectTurns, 1);
    applyItemEffect(DieShowsSix, UseContext::StageTurn);
    EXPECT_EQ(player.moveEffectTurns, 1);
}

}  // namespace
