// Item effects and the inventory screen: its list, item use in each context, and what it hands
// back.
#include "support/play.hpp"

enum Item { LifePot3 = 5, LifePot7, LifePot15, LifePotFull, SlowDie, QuickDie };

// Item, maximum LIFE units, LIFE before and after, and the boss battle's amount: a full LIFE
// still spends the item; in the boss battle LIFE stays. A die item replaces another and gives
// one turn, however often used.
TEST(ItemEffects, HealsCappedOrHandedToTheBossBattleAndDieItems) {
    const int cases[][5] = {{Heal15, 5, 20, 25, 15}, {Heal15, 5, 10, 25, 15},
                            {Heal15, 5, 9, 24, 15},  {Heal3, 1, 5, 5, 3},
                            {Heal7, 3, 1, 8, 7},     {HealFull, 4, 1, 20, -1}};
    for (const auto& [kind, units, before, after, amount] : cases) {
        for (const UseContext context :
             {UseContext::MainMenu, UseContext::StageTurn, UseContext::BossBattle}) {
            applyNewGameDefaults();
            player.maxLifeUnits = units, player.life = before;
            const bool battle = context == UseContext::BossBattle;
            EXPECT_EQ(applyItemEffect(kind, context), battle ? amount : 0);
            EXPECT_EQ(player.life, battle ? before : after) << kind << " from " << before;
        }
    }
    for (const int kind : {DieShowsThree, DieShowsSix, DieShowsSix}) {
        EXPECT_EQ(applyItemEffect(kind, UseContext::StageTurn), 0);
    }
    EXPECT_EQ(std::pair(player.moveEffect, player.moveEffectTurns), std::pair(+MoveEffectSix, 1));
}

// Opens the inventory at LIFE 2 of 15 with the counts given, types the entries ("k" a key
// press), and returns what it hands back.
static int visit(UseContext context, std::initializer_list<std::pair<int, int>> counts,
                 const Keys& entries) {
    newGameAt();
    player.maxLifeUnits = 3, player.life = 2;
    for (const auto& [item, count] : counts) {
        itemTable[item].count = count;
    }
    const int result = playWith(entries, [&] { return inventoryScreen(context); });
    EXPECT_FALSE(vt::inputExhausted());
    return result;
}

// With nothing usable owned (bought-and-applied items never show) only 0 is accepted. Using
// the last of an item moves the rest up; the die items are refused outside a stage turn, with
// a key wait, and stay owned.
TEST(Inventory, ListsAndRefusals) {
    EXPECT_EQ(visit(UseContext::StageTurn, {{0, 1}, {1, 1}}, {"1\r", "-1\r", "0\r"}), 0);
    expectPages({{0, "inventory_empty"}, {2, "inventory_empty"}});
    for (const auto& [context, result, refusal] :
         {std::tuple{UseContext::MainMenu, 0, "inventory_refused_in_menu"},
          std::tuple{UseContext::BossBattle, 3, "inventory_refused_in_battle"}}) {
        EXPECT_EQ(visit(context, {{LifePot3, 1}, {LifePot15, 2}, {SlowDie, 2}, {QuickDie, 10}},
                        {"1\r", "2\r", "k", "0\r"}),
                  result);
        expectPages({{0, "inventory"}, {2, refusal}});
        EXPECT_EQ(std::pair(itemTable[SlowDie].count, player.moveEffect), std::pair(2, 0));
    }
}

// The last item used decides what the visit hands back, each use spends one; in the boss
// battle LIFE stays.
TEST(Inventory, TheLastItemUsedCounts) {
    // Numbers: ライフポット3 (two), 7, 15, FULL, のんびりダイス, せっかちダイス.
    const std::tuple<UseContext, Keys, int, int> cases[] = {
        {UseContext::StageTurn, {"5\r", "5\r", "0\r"}, 0, MoveEffectSix},
        {UseContext::BossBattle, {"0\r"}, 0, MoveEffectNone},
        {UseContext::BossBattle, {"1\r", "3\r", "0\r"}, 15, MoveEffectNone},
        {UseContext::BossBattle, {"3\r", "1\r", "0\r"}, 3, MoveEffectNone}};
    for (const auto& [context, choices, result, moveEffect] : cases) {
        EXPECT_EQ(visit(context,
                        {{LifePot3, 2},
                         {LifePot7, 1},
                         {LifePot15, 1},
                         {LifePotFull, 1},
                         {SlowDie, 1},
                         {QuickDie, 1}},
                        choices),
                  result);
        int owned = 0;
        for (const ItemRecord& item : itemTable) {
            owned += item.count;
        }
        EXPECT_EQ(std::tuple(player.life, player.moveEffect, owned),
                  std::tuple(2, moveEffect, 8 - static_cast<int>(choices.size())));
    }
}
