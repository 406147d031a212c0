// The shop: greeting, stock by stage, purchases and their limits, refusals, descriptions.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "items/items.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

const char* const kPrompt = "どれをお買い上げいただけますか？  > ";

// Runs the shop: a key for the greeting, one for the story below stage 4, then the entries
// ("k" stands for a key press after a reply or a description page).
void visitShop(
    int coin, int highestStage, const std::vector<std::string>& entries,
    const std::function<void()>& setUp = [] {}) {
    vt::reset();
    applyNewGameDefaults();
    player.coin = coin;
    player.highestStage = highestStage;
    setUp();
    vt::type("g");
    if (highestStage < 4) {
        vt::type("s");
    }
    for (const std::string& entry : entries) {
        entry == "k" ? vt::type("k") : vt::typeLines({entry});
    }
    int result = 99;
    EXPECT_EQ(vt::run([&] { result = shopScreen(); }), -1);
    EXPECT_FALSE(vt::inputExhausted());
    EXPECT_EQ(result, 0);
    for (const ItemRecord& item : itemTable) {
        EXPECT_EQ(item.listNumber, 0) << item.name;
    }
}

// The pages at which the shop asked for a purchase.
std::vector<ScreenGrid> shopPages() {
    std::vector<ScreenGrid> pages;
    for (const ScreenGrid& page : vt::snapshots()) {
        if (page.textAt(1, 40, textColumns(kPrompt)) == kPrompt) {
            pages.push_back(page);
        }
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
    vt::reset();
    applyNewGameDefaults();
    player.highestStage = 5;
    vt::type("g");
    EXPECT_EQ(vt::run([] { shopScreen(); }), -1);
    EXPECT_EQ(vt::snapshots().size(), 1u);
    EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[0], 8, 7, "『いらっしゃいませー！！』");
    EXPECT_TEXT_AT(8, 10, "あら？・・・お客さん、お金持っていないんじゃない？");
    EXPECT_TEXT_AT(8, 20, "今度はちゃんとお金を持ってこよう!");
}

TEST(Shop, StoryBelowStageFourAndFarewell) {
    visitShop(100, 3, {"0"});
    EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots().at(1), 8, 11, "えっと、今の品揃えはこんなトコロね。。");
    EXPECT_TEXT_AT(24, 20, "ありがとうございました～。");
}

TEST(Shop, StockGrowsWithTheHighestStage) {
    const std::pair<int, std::vector<int>> cases[] = {
        {1, {5, 9}}, {3, {0, 1, 2, 5, 6, 9, 10}}, {5, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}, {6, {}}};
    for (const auto& [stage, items] : cases) {
        visitShop(100, stage, {"0"});
        const ScreenGrid page = shopPages().at(0);
        EXPECT_EQ(listed(page), items) << "stage " << stage;
        for (int n = 1; n <= static_cast<int>(items.size()); ++n) {
            EXPECT_SNAPSHOT_TEXT_AT(page, 8, 4 + n, (n < 10 ? " " : "") + std::to_string(n) + ".");
        }
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 33, items.empty() ? "   " : "-1. 商品の説明をみる");
    }
    EXPECT_SNAPSHOT_TEXT_AT(shopPages().at(0), 8, 12,
                            "『ごめんなさい。。今、あなたに売れる商品はないの。。。』");
}

TEST(Shop, PageColumns) {
    visitShop(100, 5, {"0"}, [] { itemTable[9].count = 7; });
    const ScreenGrid page = shopPages().at(0);
    EXPECT_SNAPSHOT_TEXT_AT(page, 40, 5, "50000    ");  // no count for bought-and-applied items
    EXPECT_SNAPSHOT_TEXT_AT(page, 40, 14, "  500   7");
    EXPECT_SNAPSHOT_TEXT_AT(page, 8, 37, "LIFE :  5/ 5 , COIN :   100");
}

TEST(Shop, PriceEqualToCoinIsBoughtAndElixirRaisesOnlyTheMaximum) {
    visitShop(99999, 5, {"5", "k", "0"});
    EXPECT_EQ(player.coin, 0);
    EXPECT_EQ(itemTable[4].count, 1);
    const std::vector<ScreenGrid> pages = shopPages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(listed(pages[1]).size(), 10u);  // sold once
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 8, 37, "LIFE :  5/10 , COIN :     0");
}

TEST(Shop, MapTrumpIsSoldOnceAndUnlocksCards) {
    visitShop(60000, 2, {"1", "k", "0"});
    EXPECT_EQ(player.cardMove, 1);
    EXPECT_EQ(player.coin, 10000);
    EXPECT_EQ(listed(shopPages().at(1)).front(), 1);
    // A loaded game with card moves but no trump owned is not offered one either.
    visitShop(60000, 2, {"0"}, [] { player.cardMove = 1; });
    EXPECT_EQ(listed(shopPages().at(0)).front(), 1);
}

TEST(Shop, UsableItemsUpToTen) {
    // Out-of-range entries are asked again without a word; the second 1 is のんびりダイス.
    visitShop(5000, 1, {"-2", "3", "1", "k", "1", "k", "0"}, [] { itemTable[5].count = 9; });
    EXPECT_EQ(itemTable[5].count, 10);
    EXPECT_EQ(itemTable[9].count, 1);
    EXPECT_EQ(player.coin, 4000);
    const std::vector<ScreenGrid> pages = shopPages();
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 1, 41, "   ");
    EXPECT_EQ(listed(pages[3]), std::vector<int>{9});
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

TEST(Shop, DescriptionPagesHoldFiveItems) {
    visitShop(100, 4, {"-1", "k", "k", "k", "0"});
    // The description pages are the snapshots that have no frame.
    std::vector<ScreenGrid> pages;
    for (const ScreenGrid& page : vt::snapshots()) {
        if (page.textAt(1, 1, 1) == " " && page.textAt(8, 4, 1) != " ") {
            pages.push_back(page);
        }
    }
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_SNAPSHOT_TEXT_AT(pages[0], 8, 5, "マップ移動でカードを使用することが出来るようになる");
    EXPECT_SNAPSHOT_TEXT_AT(pages[0], 8, 20, "生命の秘薬4");
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 8, 4, "ライフポット3");
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 8, 13, "ライフを 15 回復する事が出来る");
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 8, 4, "せっかちダイス");
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 8, 8, "   ");
}

}  // namespace
