// The inventory screen: its list, item use in each context, and what it hands back.
#include <gtest/gtest.h>

#include "items/items.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

enum Item { LifePot3 = 5, LifePot7, LifePot15, LifePotFull, SlowDie, QuickDie };

void startInventory(std::initializer_list<std::pair<Item, int>> counts) {
    vt::reset();
    applyNewGameDefaults();
    for (const auto& [item, count] : counts) {
        itemTable[item].count = count;
    }
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
    startInventory({});
    itemTable[0].count = itemTable[1].count = 1;  // bought-and-applied items never show
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
    startInventory({{LifePot3, 1}, {LifePot15, 2}, {QuickDie, 10}});
    player.maxLifeUnits = 3;
    player.life = 1;
    vt::typeLines({"1"});
    EXPECT_EQ(vt::run([] { inventoryScreen(UseContext::MainMenu); }), 1);
    EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots().at(0), 8, 7, " 3.");
    EXPECT_TEXT_AT(8, 5, " 1. ライフポット15");
    EXPECT_TEXT_AT(48, 5, "2 ");
    EXPECT_TEXT_AT(8, 6, " 2. せっかちダイス");
    EXPECT_TEXT_AT(48, 6, "10");
    EXPECT_TEXT_AT(8, 7, "   ");
    EXPECT_TEXT_AT(8, 37, "LIFE :  4/15");
}

TEST(Inventory, DieItemsRefusedOutsideAStageTurn) {
    const std::string refusal = "Item = のんびりダイスそのアイテムはここでは使用できません";
    for (const UseContext context : {UseContext::MainMenu, UseContext::BossBattle}) {
        startInventory({{SlowDie, 2}});
        vt::typeLines({"1"});
        vt::type("x");  // the refusal waits for a key
        EXPECT_EQ(visit(context, {"0"}), 0);
        EXPECT_EQ(itemTable[SlowDie].count, 2);
        EXPECT_EQ(player.moveEffect, MoveEffectNone);
        bool refused = false;
        for (const ScreenGrid& page : vt::snapshots()) {
            refused = refused || page.textAt(1, 40, textColumns(refusal)) == refusal;
        }
        EXPECT_TRUE(refused);
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
    for (const Case& c : cases) {
        startInventory({{LifePot3, 2}});
        for (int item = LifePot7; item <= QuickDie; ++item) {
            itemTable[item].count = 1;
        }
        player.life = 2;
        EXPECT_EQ(visit(c.context, c.choices), c.result);
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
