// The shop: greeting, stock by stage, purchases and their limits, refusals, descriptions.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "items/items.hpp"
#include "state/player_state.hpp"
#include "support/item_screens.hpp"
#include "support/screen_expect.hpp"

namespace {

// Runs the shop: a key for the greeting, one for the story below stage 4, then the entries
// ("k" a key press after a reply or a description page). Returns the pages at which the shop
// asked for a purchase.
std::vector<ScreenGrid> visitShop(
    int coin, int highestStage, const std::vector<std::string>& entries,
    const std::function<void()>& setUp = [] {}) {
    vt::reset();
    applyNewGameDefaults();
    player.coin = coin;
    player.highestStage = highestStage;
    setUp();
    typeEntries(highestStage < 4 ? std::vector<std::string>{"k", "k"}
                                 : std::vector<std::string>{"k"});
    typeEntries(entries);
    EXPECT_EQ(runItemScreen(shopScreen), 0);
    std::vector<ScreenGrid> pages;
    for (const std::size_t i : snapshotsShowing(1, 40, "どれをお買い上げいただけますか？  > ")) {
        pages.push_back(vt::snapshots()[i]);
    }
    return pages;
}

// The table indices of the items listed on a shop page, in order.
std::vector<int> listed(const ScreenGrid& page) {
    std::vector<int> items;
    for (int row = 5; row <= 15; ++row) {
        for (int i = 0; i < kItemCount; ++i) {
            const std::string name = std::string(itemTable[i].name) + " ";
            if (page.textAt(12, row, textColumns(name)) == name) {
                items.push_back(i);
            }
        }
    }
    return items;
}

TEST(Shop, NoMoneyTurnsThePlayerAway) {
    EXPECT_TRUE(visitShop(0, 5, {}).empty());
    EXPECT_EQ(vt::snapshots().size(), 1u);
    EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[0], 8, 7, "『いらっしゃいませー！！』");
    EXPECT_TEXT_AT(8, 10, "あら？・・・お客さん、お金持っていないんじゃない？");
    EXPECT_TEXT_AT(8, 20, "今度はちゃんとお金を持ってこよう!");
}

// The stock grows with the highest stage; a game with card moves but no trump owned (a loaded
// one) is not offered the trump. The story is told below stage 4; the farewell always.
TEST(Shop, StockStoryAndFarewell) {
    const std::tuple<int, int, std::vector<int>> cases[] = {
        {1, 0, {5, 9}},
        {3, 0, {0, 1, 2, 5, 6, 9, 10}},
        {2, 1, {1, 5, 9}},
        {5, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        {6, 0, {}}};
    for (const auto& [stage, cardMove, items] : cases) {
        SCOPED_TRACE(stage);
        const int moves = cardMove;  // clang 14 cannot capture a structured binding
        const ScreenGrid page = visitShop(100, stage, {"0"}, [&] {
                                    player.cardMove = moves;
                                    itemTable[9].count = 7;
                                }).at(0);
        EXPECT_EQ(listed(page), items);
        // Two-digit numbers, prices, and counts only for usable items.
        if (stage == 5) {
            EXPECT_SNAPSHOT_TEXT_AT(page, 40, 5, "50000    ");
            EXPECT_SNAPSHOT_TEXT_AT(page, 8, 14, "10.");
            EXPECT_SNAPSHOT_TEXT_AT(page, 40, 14, "  500   7");
        }
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 33, items.empty() ? "   " : "-1. 商品の説明をみる");
        const std::string sorry = "『ごめんなさい。。今、あなたに売れる商品はないの。。。』";
        EXPECT_EQ(page.textAt(8, 12, textColumns(sorry)) == sorry, items.empty());
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 37, "LIFE :  5/ 5 , COIN :   100");
        const std::string story = "えっと、今の品揃えはこんなトコロね。。";
        EXPECT_EQ(vt::snapshots().at(1).textAt(8, 11, textColumns(story)) == story, stage < 4);
        EXPECT_TEXT_AT(24, 20, "ありがとうございました～。");
    }
}

// Out-of-range entries are asked again without a word. The trump unlocks card moves and is sold
// once; a usable item is sold up to ten; an elixir at exactly the coin left is bought and raises
// only the maximum LIFE.
TEST(Shop, PurchasesAndTheirLimits) {
    const std::vector<ScreenGrid> pages = visitShop(
        55500, 2, {"-2", "5", "1", "k", "2", "k", "1", "k", "0"}, [] { itemTable[5].count = 9; });
    EXPECT_EQ(std::tuple(player.cardMove, player.coin, player.maxLifeUnits), std::tuple(1, 0, 2));
    EXPECT_EQ(itemTable[5].count, 10);
    ASSERT_EQ(pages.size(), 6u);
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 1, 41, "   ");
    EXPECT_EQ(listed(pages[2]), (std::vector<int>{0, 1, 5, 9}));
    EXPECT_EQ(listed(pages[3]), (std::vector<int>{1, 5, 9}));
    EXPECT_EQ(listed(pages[5]), std::vector<int>{9});
    EXPECT_SNAPSHOT_TEXT_AT(pages[5], 8, 37, "LIFE :  5/10 , COIN :     0");
}

TEST(Shop, EveryFourthRefusalDiffers) {
    const std::string shortOfMoney = "お金が足りないわ。ちゃんとお金を払える商品を選んで下さいね。";
    const std::string onPurpose = "・・・ねぇ、あなた、わざとやってないかしら？・・・";
    const std::string thanks = "お買い上げ、ありがとうございます。";
    // Refused, refused, bought (500), then refused four times: the purchase does not reset.
    visitShop(600, 4, {"9", "k", "9", "k", "5", "k", "9", "k", "9", "k", "9", "k", "9", "k", "0"});
    std::vector<std::string> replies;
    for (const ScreenGrid& page : vt::snapshots()) {
        for (const std::string& reply : {shortOfMoney, onPurpose, thanks}) {
            if (page.textAt(1, 40, textColumns(reply)) == reply) {
                replies.push_back(reply);
            }
        }
    }
    EXPECT_EQ(replies, (std::vector<std::string>{shortOfMoney, shortOfMoney, thanks, shortOfMoney,
                                                 onPurpose, shortOfMoney, shortOfMoney}));
    EXPECT_EQ(player.coin, 100);
}

// All eleven descriptions, five to a page; the pages are the snapshots without the frame.
TEST(Shop, DescriptionPagesHoldFiveItems) {
    visitShop(100, 4, {"-1", "k", "k", "k", "0"});
    std::vector<ScreenGrid> pages;
    for (const ScreenGrid& page : vt::snapshots()) {
        if (page.textAt(1, 1, 1) == " " && page.textAt(8, 4, 1) != " ") {
            pages.push_back(page);
        }
    }
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_SNAPSHOT_TEXT_AT(pages[0], 8, 5, "マップ移動でカードを使用することが出来るようになる");
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 8, 20, "のんびりダイス");
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 8, 4, "せっかちダイス");
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 8, 8, "   ");
}

}  // namespace
