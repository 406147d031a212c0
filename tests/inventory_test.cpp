// The inventory screen: its list, item use in each context, and what it hands back.
#include <gtest/gtest.h>

#include "items/items.hpp"
#include "state/player_state.hpp"
#include "support/item_screens.hpp"
#include "support/screen_expect.hpp"

namespace {

enum Item { LifePot3 = 5, LifePot7, LifePot15, LifePotFull, SlowDie, QuickDie };

// Opens the inventory at LIFE 2 of 15 with the counts given, types the entries ("k" a key
// press), and returns what it hands back.
int visit(UseContext context, std::initializer_list<std::pair<int, int>> counts,
          const std::vector<std::string>& entries) {
    vt::reset();
    applyNewGameDefaults();
    player.maxLifeUnits = 3;
    player.life = 2;
    for (const auto& [item, count] : counts) {
        itemTable[item].count = count;
    }
    typeEntries(entries);
    return runItemScreen([&] { return inventoryScreen(context); });
}

// With nothing usable owned (bought-and-applied items never show) only 0 is accepted.
TEST(Inventory, EmptyListAcceptsOnlyZero) {
    EXPECT_EQ(visit(UseContext::StageTurn, {{0, 1}, {1, 1}}, {"1", "-1", "0"}), 0);
    EXPECT_EQ(vt::snapshots().size(), 3u);
    EXPECT_TEXT_AT(8, 5, "   ");
    EXPECT_EQ(itemTable[1].count, 1);
}

// Using the last of an item moves the rest up; the die items are refused outside a stage turn,
// with a key wait, and stay owned.
TEST(Inventory, ListMovesUpAndDieItemsRefusedOutsideAStageTurn) {
    const std::string refusal = "Item = のんびりダイスそのアイテムはここでは使用できません";
    for (const auto& [context, result, status] :
         {std::tuple{UseContext::MainMenu, 0, "LIFE :  5/15"},
          std::tuple{UseContext::BossBattle, 3, "LIFE :  2/15"}}) {
        SCOPED_TRACE(result);
        EXPECT_EQ(visit(context, {{LifePot3, 1}, {LifePot15, 2}, {SlowDie, 2}, {QuickDie, 10}},
                        {"1", "2", "k", "0"}),
                  result);
        const ScreenGrid& page = vt::snapshots().at(0);
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 3, "-----所持品一覧-----");
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 8, " 4.");
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 34, " 0. 戻る");
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 37, "LIFE :  2/15 , COIN :     0 , LV : 1 経験値( 0/100)");
        EXPECT_SNAPSHOT_TEXT_AT(page, 1, 40, "どれを使用しますか  > ");
        EXPECT_TEXT_AT(8, 5, " 1. ライフポット15");
        EXPECT_TEXT_AT(48, 5, "2 ");
        EXPECT_TEXT_AT(8, 7, " 3. せっかちダイス");
        EXPECT_TEXT_AT(48, 7, "10");
        EXPECT_TEXT_AT(8, 8, "   ");
        EXPECT_TEXT_AT(8, 37, status);
        EXPECT_EQ(itemTable[SlowDie].count, 2);
        EXPECT_EQ(player.moveEffect, MoveEffectNone);
        EXPECT_FALSE(snapshotsShowing(1, 40, refusal).empty());
    }
}

// The last item used decides what the visit hands back; in the boss battle LIFE stays.
TEST(Inventory, TheLastItemUsedCounts) {
    // Numbers: ライフポット3 (two), 7, 15, FULL, のんびりダイス, せっかちダイス.
    const std::tuple<UseContext, std::vector<std::string>, int, int> cases[] = {
        {UseContext::StageTurn, {"5", "5", "0"}, 0, MoveEffectSix},
        {UseContext::BossBattle, {"0"}, 0, MoveEffectNone},
        {UseContext::BossBattle, {"1", "3", "0"}, 15, MoveEffectNone},
        {UseContext::BossBattle, {"3", "1", "0"}, 3, MoveEffectNone}};
    const std::initializer_list<std::pair<int, int>> counts = {{LifePot3, 2},  {LifePot7, 1},
                                                               {LifePot15, 1}, {LifePotFull, 1},
                                                               {SlowDie, 1},   {QuickDie, 1}};
    for (const auto& [context, choices, result, moveEffect] : cases) {
        SCOPED_TRACE(choices.front());
        EXPECT_EQ(visit(context, counts, choices), result);
        EXPECT_EQ(player.life, 2);
        EXPECT_EQ(player.moveEffect, moveEffect);
        int owned = 0;
        for (const ItemRecord& item : itemTable) {
            owned += item.count;
        }
        EXPECT_EQ(owned, 7 - static_cast<int>(choices.size() - 1));
    }
}

}  // namespace
