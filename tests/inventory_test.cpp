// The inventory screen: its list, item use in each context, and what it hands back.
#include <gtest/gtest.h>

#include "items/items.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

enum Item { LifePot3 = 5, LifePot7, LifePot15, LifePotFull, SlowDie, QuickDie };

void startInventory() {
    vt::reset();
    applyNewGameDefaults();
}

int visit(UseContext context, const std::vector<std::string>& choices) {
    vt::typeLines(choices);
    int result = 99;
    EXPECT_EQ(vt::run([&] { result = inventoryScreen(context); }), -1);
    EXPECT_FALSE(vt::inputExhausted());
    for (const ItemRecord& item : itemTable) {
        EXPECT_EQ(item.listNumber, 0) << item.name;
    }
    return result;
}

TEST(Inventory, EmptyListAcceptsOnlyZero) {
    startInventory();
    itemTable[1].count = 1;  // bought-and-applied items never show
    itemTable[0].count = 1;
    EXPECT_EQ(visit(UseContext::StageTurn, {"1", "-1", "0"}), 0);
    const ScreenGrid& page = vt::snapshots().at(0);
    EXPECT_SNAPSHOT_TEXT_AT(page, 16, 3, "-----所持品一覧-----");
    EXPECT_SNAPSHOT_TEXT_AT(page, 8, 5, "   ");
    EXPECT_SNAPSHOT_TEXT_AT(page, 8, 34, " 0. 戻る");
    EXPECT_SNAPSHOT_TEXT_AT(page, 8, 37, "LIFE :  5/ 5 , COIN :     0 , LV : 1 経験値( 0/100)");
    EXPECT_SNAPSHOT_TEXT_AT(page, 1, 40, "どれを使用しますか  > ");
    EXPECT_EQ(itemTable[1].count, 1);
}

TEST(Inventory, UsingTheLastOfAnItemMovesTheRestUp) {
    startInventory();
    player.maxLifeUnits = 3;
    player.life = 1;
    itemTable[LifePot3].count = 1;
    itemTable[LifePot15].count = 2;
    itemTable[QuickDie].count = 10;
    vt::typeLines({"1"});
    EXPECT_EQ(vt::run([] { inventoryScreen(UseContext::MainMenu); }), 1);
    EXPECT_TEXT_AT(8, 5, " 1.");
    EXPECT_TEXT_AT(12, 5, "ライフポット15");
    EXPECT_TEXT_AT(48, 5, "2 ");
    EXPECT_TEXT_AT(8, 6, " 2.");
    EXPECT_TEXT_AT(12, 6, "せっかちダイス");
    EXPECT_TEXT_AT(48, 6, "10");
    EXPECT_TEXT_AT(8, 7, "   ");
    EXPECT_TEXT_AT(8, 37, "LIFE :  4/15");
    EXPECT_EQ(itemTable[LifePot3].count, 0);
    // The first page listed all three in table order.
    const ScreenGrid& first = vt::snapshots().at(0);
    EXPECT_SNAPSHOT_TEXT_AT(first, 12, 5, "ライフポット3");
    EXPECT_SNAPSHOT_TEXT_AT(first, 12, 6, "ライフポット15");
    EXPECT_SNAPSHOT_TEXT_AT(first, 8, 7, " 3.");
}

TEST(Inventory, DieItemsRefusedOutsideAStageTurn) {
    for (const UseContext context : {UseContext::MainMenu, UseContext::BossBattle}) {
        startInventory();
        itemTable[SlowDie].count = 2;
        vt::typeLines({"1"});
        vt::type("x");
        vt::typeLines({"0"});
        int result = 99;
        EXPECT_EQ(vt::run([&] { result = inventoryScreen(context); }), -1);
        EXPECT_EQ(result, 0);
        EXPECT_EQ(itemTable[SlowDie].count, 2);
        EXPECT_EQ(player.moveEffect, MoveEffectNone);
        // The refusal follows the name at once and waits for a key.
        const std::string refusal = "Item = のんびりダイスそのアイテムはここでは使用できません";
        bool refused = false;
        for (const ScreenGrid& page : vt::snapshots()) {
            refused = refused || page.textAt(1, 40, textColumns(refusal)) == refusal;
        }
        EXPECT_TRUE(refused);
    }
}

TEST(Inventory, DieItemInAStageTurnSetsTheNextRoll) {
    startInventory();
    itemTable[SlowDie].count = 1;
    itemTable[QuickDie].count = 1;
    EXPECT_EQ(visit(UseContext::StageTurn, {"1", "1", "0"}), 0);
    EXPECT_EQ(player.moveEffect, MoveEffectSix);
    EXPECT_EQ(player.moveEffectTurns, 1);
    EXPECT_EQ(itemTable[SlowDie].count, 0);
    EXPECT_EQ(itemTable[QuickDie].count, 0);
}

TEST(Inventory, ResultPerContext) {
    struct Case {
        UseContext context;
        std::vector<std::string> choices;
        int result;
        int life;
    };
    const Case cases[] = {
        {UseContext::MainMenu, {"1", "0"}, 0, 5},          // heals LIFE, hands back nothing
        {UseContext::StageTurn, {"2", "0"}, 0, 5},         // 15 heals to the full
        {UseContext::BossBattle, {"0"}, 0, 2},             // nothing used
        {UseContext::BossBattle, {"3", "0"}, 15, 2},       // spent even at full battle HP
        {UseContext::BossBattle, {"1", "3", "0"}, 15, 2},  // the amount of the last one
        {UseContext::BossBattle, {"3", "1", "0"}, 3, 2},
        {UseContext::BossBattle, {"4", "0"}, -1, 2},  // FULL stands for a full heal
    };
    for (const Case& c : cases) {
        startInventory();
        player.life = 2;
        itemTable[LifePot3].count = 2;
        itemTable[LifePot7].count = 1;
        itemTable[LifePot15].count = 1;
        itemTable[LifePotFull].count = 1;
        EXPECT_EQ(visit(c.context, c.choices), c.result);
        EXPECT_EQ(player.life, c.life);
        int owned = 0;
        for (const ItemRecord& item : itemTable) {
            owned += item.count;
        }
        EXPECT_EQ(owned, 5 - static_cast<int>(c.choices.size() - 1));
    }
}

}  // namespace
