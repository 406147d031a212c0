// The shop: greeting, stock by stage, purchases and their limits, refusals, descriptions.
#include "support/play.hpp"

// Runs the shop with 9 ライフポット3 and 7 のんびりダイス owned: a key for the greeting, one for
// the story below stage 4, then the entries ("k" a key after a reply or a description page).
static void visitShop(int coin, int highestStage, const Keys& entries, int cardMove = 0) {
    newGameAt();
    player.coin = coin, player.highestStage = highestStage, player.cardMove = cardMove;
    itemTable[5].count = 9, itemTable[9].count = 7;
    EXPECT_EQ(playWith((highestStage < 4 ? Keys{"k", "k"} : Keys{"k"}) + entries, shopScreen), 0);
    EXPECT_FALSE(vt::inputExhausted());
}

TEST(Shop, NoMoneyTurnsThePlayerAway) {
    visitShop(0, 5, {});
    EXPECT_EQ(vt::snapshots().size(), 1u);
    expectPages({{0, "shop_greeting"}});
    EXPECT_PAGE(vt::screen(), "shop_no_money");
}

// The stock grows with the highest stage; a game with card moves but no trump owned (a loaded
// one) is not offered the trump. The story is told below stage 4; the farewell always.
TEST(Shop, StockStoryAndFarewell) {
    // clang-format off
    const std::tuple<int, int, const char*> cases[] = {
        {1, 0, "shop_stage_1"}, {3, 0, "shop_stage_3"}, {2, 1, "shop_stage_2_card_moves"},
        {5, 0, "shop_stage_5"}, {6, 0, "shop_stage_6"}};
    // clang-format on
    for (const auto& [stage, cardMove, name] : cases) {
        visitShop(100, stage, {"0\r"}, cardMove);
        expectPages({{1, stage < 4 ? "shop_story" : name}, {-1, name}});
        EXPECT_PAGE(vt::screen(), "shop_farewell");
    }
}

// Out-of-range entries are asked again without a word. The trump unlocks card moves and is sold
// once; a usable item is sold up to ten; an elixir at exactly the coin left is bought and raises
// only the maximum LIFE.
TEST(Shop, PurchasesAndTheirLimits) {
    visitShop(55500, 2, {"-2\r", "5\r", "1\r", "k", "2\r", "k", "1\r", "k", "0\r"});
    EXPECT_EQ(std::tuple(player.cardMove, player.coin, player.maxLifeUnits, itemTable[5].count),
              std::tuple(1, 0, 2, 10));
    expectPages({{4, "shop_refused_entry"}, {6, "shop_trump_bought"}, {10, "shop_sold_out"}});
}

// Refused, refused, bought (500), then refused four times: the fourth refusal of a visit says
// something else, and a purchase in between does not reset the count.
TEST(Shop, EveryFourthRefusalDiffers) {
    Keys entries;
    for (const char* choice : {"9\r", "9\r", "8\r", "9\r", "9\r", "9\r", "9\r"}) {
        entries = entries + Keys{choice, "k"};
    }
    visitShop(600, 4, entries + Keys{"0\r"});
    // clang-format off
    expectPages({{2, "shop_short_of_money"}, {4, "shop_short_of_money"}, {6, "shop_thanks"},
                 {8, "shop_short_of_money_after"}, {10, "shop_on_purpose"},
                 {12, "shop_short_of_money_after"}, {14, "shop_short_of_money_after"}});
    // clang-format on
    EXPECT_EQ(player.coin, 100);
}

// All eleven descriptions, five to a page.
TEST(Shop, DescriptionPagesHoldFiveItems) {
    visitShop(100, 4, {"-1\r", "k", "k", "k", "0\r"});
    expectPages(
        {{2, "shop_descriptions_1"}, {3, "shop_descriptions_2"}, {4, "shop_descriptions_3"}});
}
