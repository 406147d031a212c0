// Item effects and the inventory screen: its list, item use in each context, and what it hands
// back.
#include "support/play.hpp"

// Item, maximum LIFE units, LIFE before and after: a full LIFE still spends the item.
TEST(ItemEffects, HealsCappedOutsideTheBossBattle) {
    const int cases[][4] = {{Heal15, 5, 20, 25}, {Heal15, 5, 10, 25}, {Heal15, 5, 9, 24},
                            {Heal3, 1, 5, 5},    {Heal7, 3, 1, 8},    {HealFull, 4, 1, 20}};
    for (const auto& [kind, units, before, after] : cases) {
        applyNewGameDefaults();
        player.maxLifeUnits = units, player.life = before;
        EXPECT_EQ(applyItemEffect(kind, UseContext::MainMenu), 0);
        EXPECT_EQ(player.life, after) << kind << " from " << before;
    }
}

// Opens the inventory at LIFE 2 of 15 with these items (ライフポット3 and 7, 15, FULL, のんびり
// ダイス and せっかちダイス) owned, types the entries ("k" a key press), and returns what it hands
// back.
static int visit(UseContext context, std::array<int, 6> counts, const Keys& entries) {
    newGameAt();
    player.maxLifeUnits = 3, player.life = 2;
    itemTable[0].count = itemTable[1].count = 1;  // bought and applied: never listed
    for (int i = 0; i < 6; ++i) {
        itemTable[5 + i].count = counts[i];
    }
    const int result = playWith(entries, [&] { return inventoryScreen(context); });
    EXPECT_FALSE(vt::inputExhausted());
    return result;
}

// With nothing usable owned only 0 is accepted. Using the last of an item moves the rest up;
// the die items are refused outside a stage turn, with a key wait, and stay owned.
TEST(Inventory, ListsAndRefusals) {
    EXPECT_EQ(visit(UseContext::StageTurn, {}, {"1\r", "-1\r", "0\r"}), 0);
    expectPages({{0, "inventory_empty"}, {2, "inventory_empty"}});
    for (const auto& [context, result, refusal] :
         {std::tuple{UseContext::MainMenu, 0, "inventory_refused_in_menu"},
          std::tuple{UseContext::BossBattle, 3, "inventory_refused_in_battle"}}) {
        EXPECT_EQ(visit(context, {1, 0, 2, 0, 2, 10}, {"1\r", "2\r", "k", "0\r"}), result);
        expectPages({{0, "inventory"}, {2, refusal}});
        EXPECT_EQ(std::pair(itemTable[9].count, player.moveEffect), std::pair(2, 0));
    }
}

// The last item used decides what the visit hands back, each use spends one; in the boss
// battle LIFE stays and the heals hand over their amounts. A die item replaces another and
// gives one turn.
TEST(Inventory, TheLastItemUsedCounts) {
    // Numbers: ライフポット3 (two), 7, 15, FULL, のんびりダイス, せっかちダイス.
    const std::tuple<UseContext, Keys, int, int> cases[] = {
        {UseContext::StageTurn, {"5\r", "0\r"}, 0, MoveEffectThree},
        {UseContext::StageTurn, {"5\r", "5\r", "0\r"}, 0, MoveEffectSix},
        {UseContext::BossBattle, {"0\r"}, 0, MoveEffectNone},
        {UseContext::BossBattle, {"1\r", "3\r", "0\r"}, 15, MoveEffectNone},
        {UseContext::BossBattle, {"3\r", "1\r", "0\r"}, 3, MoveEffectNone},
        {UseContext::BossBattle, {"2\r", "0\r"}, 7, MoveEffectNone},
        {UseContext::BossBattle, {"4\r", "0\r"}, -1, MoveEffectNone}};
    for (const auto& [context, choices, result, moveEffect] : cases) {
        EXPECT_EQ(visit(context, {2, 1, 1, 1, 1, 1}, choices), result);
        int owned = 0;
        for (const ItemRecord& item : itemTable) {
            owned += item.count;
        }
        EXPECT_EQ(std::tuple(player.life, player.moveEffect, player.moveEffectTurns, owned),
                  std::tuple(2, moveEffect, moveEffect == 0 ? 0 : 1, 10 - int(choices.size())));
    }
}
