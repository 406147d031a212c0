// The inventory screen: its list, item use in each context, and what it hands back.
#include <gtest/gtest.h>

#include "items/items.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"

namespace {

enum Item { LifePot3 = 5, LifePot7, LifePot15, LifePotFull, SlowDie, QuickDie };

// Opens the inventory with the counts given, types the entries ("k" a key press), and returns
// what it hands back.
int visit(UseContext context, std::initializer_list<std::pair<int, int>> counts,
          const std::vector<std::string>& entries, int life = 5, int maxLifeUnits = 1) {
    vt::reset();
    applyNewGameDefaults();
    player.maxLifeUnits = maxLifeUnits;
    player.life = life;
    for (const auto& [item, count] : counts) {
        itemTable[item].count = count;
    }
    typeEntries(entries);
    int result = 99;
    EXPECT_EQ(vt::run([&] { result = inventoryScreen(context); }), -1);
    EXPECT_FALSE(vt::inputExhausted());
    for (const ItemRecord& item : itemTable) {
        EXPECT_EQ(item.listNumber, 0) << item.name;
    }
    return result;
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
         {std::tuple{UseContext::MainMenu, 0, "LIFE :  4/15"},
          std::tuple{UseContext::BossBattle, 3, "LIFE :  1/15"}}) {
        SCOPED_TRACE(result);
        EXPECT_EQ(visit(context, {{LifePot3, 1}, {LifePot15, 2}, {SlowDie, 2}, {QuickDie, 10}},
                        {"1", "2", "k", "0"}, 1, 3),
                  result);
        const ScreenGrid& page = vt::snapshots().at(0);
        EXPECT_SNAPSHOT_TEXT_AT(page, 16, 3, "-----所持品一覧-----");
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 8, " 4.");
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 34, " 0. 戻る");
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 37, "LIFE :  1/15 , COIN :     0 , LV : 1 経験値( 0/100)");
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

TEST(Inventory, ResultPerContext) {
    struct Case {
        UseContext context;
        std::vector<std::string> choices;
        int result, life, moveEffect;
    };
    // Numbers: ライフポット3 (two), 7, 15, FULL, のんびりダイス, せっかちダイス.
    const Case cases[] = {
        {UseContext::MainMenu, {"1", "0"}, 0, 5, MoveEffectNone},  // heals LIFE, hands back 0
        {UseContext::StageTurn, {"3", "0"}, 0, 5, MoveEffectNone},
        {UseContext::StageTurn, {"5", "5", "0"}, 0, 2, MoveEffectSix},     // the last die counts
        {UseContext::BossBattle, {"0"}, 0, 2, MoveEffectNone},             // nothing used
        {UseContext::BossBattle, {"3", "0"}, 15, 2, MoveEffectNone},       // even at full battle HP
        {UseContext::BossBattle, {"1", "3", "0"}, 15, 2, MoveEffectNone},  // the last amount
        {UseContext::BossBattle, {"3", "1", "0"}, 3, 2, MoveEffectNone},
        {UseContext::BossBattle, {"4", "0"}, -1, 2, MoveEffectNone}};  // FULL: a full heal
    const std::initializer_list<std::pair<int, int>> counts = {{LifePot3, 2},  {LifePot7, 1},
                                                               {LifePot15, 1}, {LifePotFull, 1},
                                                               {SlowDie, 1},   {QuickDie, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choices.front());
        EXPECT_EQ(visit(c.context, counts, c.choices, 2), c.result);
        EXPECT_EQ(player.life, c.life);
        EXPECT_EQ(player.moveEffect, c.moveEffect);
        int owned = 0;
        for (const ItemRecord& item : itemTable) {
            owned += item.count;
        }
        EXPECT_EQ(owned, 7 - static_cast<int>(c.choices.size() - 1));
    }
}

}  // namespace
