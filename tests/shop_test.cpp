// The shop: greeting, stock by stage, purchases and their limits, refusals, descriptions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "items/items.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

const char* const kPrompt = "どれをお買い上げいただけますか？  > ";
const char* const kShortOfMoney = "お金が足りないわ。ちゃんとお金を払える商品を選んで下さいね。";
const char* const kOnPurpose = "・・・ねぇ、あなた、わざとやってないかしら？・・・";
const char* const kThanks = "お買い上げ、ありがとうございます。";

void startShop(int coin, int highestStage) {
    vt::reset();
    applyNewGameDefaults();
    player.coin = coin;
    player.highestStage = highestStage;
}

// Runs the shop: a key for the greeting, one for the story below stage 4, then the entries
// ("k" stands for a key press after a reply or a description page).
void visitShop(const std::vector<std::string>& entries) {
    vt::type("g");
    if (player.highestStage < 4) {
        vt::type("s");
    }
    for (const std::string& entry : entries) {
        if (entry == "k") {
            vt::type("k");
        } else {
            vt::typeLines({entry});
        }
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

// The names listed on a shop page, in order.
std::vector<std::string> listedNames(const ScreenGrid& page) {
    std::vector<std::string> names;
    for (int row = 5; row <= 15; ++row) {
        for (const ItemRecord& item : itemTable) {
            if (page.textAt(12, row, textColumns(item.name) + 1) == std::string(item.name) + " ") {
                names.push_back(item.name);
            }
        }
    }
    return names;
}

TEST(Shop, NoMoneyTurnsThePlayerAway) {
    startShop(0, 5);
    vt::type("g");
    EXPECT_EQ(vt::run([] { shopScreen(); }), -1);
    EXPECT_EQ(vt::snapshots().size(), 1u);
    EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[0], 8, 5, "ショップ店主");
    EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[0], 8, 7, "『いらっしゃいませー！！』");
    EXPECT_TEXT_AT(8, 10, "あら？・・・お客さん、お金持っていないんじゃない？");
    EXPECT_TEXT_AT(8, 20, "今度はちゃんとお金を持ってこよう!");
}

TEST(Shop, StoryBelowStageFour) {
    startShop(100, 3);
    visitShop({"0"});
    const ScreenGrid& story = vt::snapshots().at(1);
    EXPECT_SNAPSHOT_TEXT_AT(story, 8, 11, "えっと、今の品揃えはこんなトコロね。。");
    EXPECT_SNAPSHOT_TEXT_AT(story, 8, 29,
                            "だから、私、あなたの事、蔭ながら応援してるわ。がんばってね。");
    EXPECT_EQ(vt::cursorRow(), 40);
    EXPECT_TEXT_AT(24, 20, "ありがとうございました～。");
}

TEST(Shop, StockGrowsWithTheHighestStage) {
    struct Case {
        int highestStage;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {1, {"ライフポット3", "のんびりダイス"}},
        {3,
         {"マップトランプ", "生命の秘薬1", "生命の秘薬2", "ライフポット3", "ライフポット7",
          "のんびりダイス", "せっかちダイス"}},
        {5,
         {"マップトランプ", "生命の秘薬1", "生命の秘薬2", "生命の秘薬3", "生命の秘薬4",
          "ライフポット3", "ライフポット7", "ライフポット15", "ライフポットFULL", "のんびりダイス",
          "せっかちダイス"}},
        {6, {}},
    };
    for (const Case& c : cases) {
        startShop(100, c.highestStage);
        visitShop({"0"});
        const ScreenGrid page = shopPages().at(0);
        EXPECT_EQ(listedNames(page), c.names) << "stage " << c.highestStage;
        for (int n = 1; n <= static_cast<int>(c.names.size()); ++n) {
            EXPECT_SNAPSHOT_TEXT_AT(page, 8, 4 + n, (n < 10 ? " " : "") + std::to_string(n) + ".");
        }
        if (c.names.empty()) {
            EXPECT_SNAPSHOT_TEXT_AT(page, 8, 12,
                                    "『ごめんなさい。。今、あなたに売れる商品はないの。。。』");
            EXPECT_SNAPSHOT_TEXT_AT(page, 8, 33, "   ");
        } else {
            EXPECT_SNAPSHOT_TEXT_AT(page, 8, 33, "-1. 商品の説明をみる");
        }
        EXPECT_SNAPSHOT_TEXT_AT(page, 8, 34, " 0. 戻る");
    }
}

TEST(Shop, PageColumns) {
    startShop(100, 5);
    itemTable[9].count = 7;
    visitShop({"0"});
    const ScreenGrid page = shopPages().at(0);
    EXPECT_SNAPSHOT_TEXT_AT(page, 8, 3, "番号");
    EXPECT_SNAPSHOT_TEXT_AT(page, 16, 3, "商品名");
    EXPECT_SNAPSHOT_TEXT_AT(page, 40, 3, "価格");
    EXPECT_SNAPSHOT_TEXT_AT(page, 48, 3, "所持数");
    EXPECT_SNAPSHOT_TEXT_AT(page, 40, 5, "50000    ");  // no count for bought-and-applied items
    EXPECT_SNAPSHOT_TEXT_AT(page, 40, 10, "  500   0");
    EXPECT_SNAPSHOT_TEXT_AT(page, 40, 14, "  500   7");
    EXPECT_SNAPSHOT_TEXT_AT(page, 8, 37, "LIFE :  5/ 5 , COIN :   100");
}

TEST(Shop, PriceEqualToCoinIsBoughtAndElixirRaisesOnlyTheMaximum) {
    startShop(99999, 5);
    player.life = 3;
    visitShop({"5", "k", "0"});
    EXPECT_EQ(player.coin, 0);
    EXPECT_EQ(player.maxLifeUnits, 2);
    EXPECT_EQ(player.life, 3);
    EXPECT_EQ(itemTable[4].count, 1);
    const std::vector<ScreenGrid> pages = shopPages();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(listedNames(pages[1]).size(), 10u);
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 8, 37, "LIFE :  3/10 , COIN :     0");
}

TEST(Shop, MapTrumpIsSoldOnceAndUnlocksCards) {
    startShop(60000, 2);
    visitShop({"1", "k", "0"});
    EXPECT_EQ(player.cardMove, 1);
    EXPECT_EQ(player.coin, 10000);
    EXPECT_EQ(listedNames(shopPages().at(1)).front(), "生命の秘薬1");
    // A loaded game with card moves but no trump owned is not offered one either.
    startShop(60000, 2);
    player.cardMove = 1;
    visitShop({"0"});
    EXPECT_EQ(listedNames(shopPages().at(0)).front(), "生命の秘薬1");
}

TEST(Shop, UsableItemsUpToTen) {
    startShop(5000, 1);
    itemTable[5].count = 9;
    visitShop({"1", "k", "1", "k", "0"});  // the second 1 is now のんびりダイス
    EXPECT_EQ(itemTable[5].count, 10);
    EXPECT_EQ(itemTable[9].count, 1);
    EXPECT_EQ(player.coin, 4000);
    const std::vector<ScreenGrid> pages = shopPages();
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(listedNames(pages[1]), std::vector<std::string>{"のんびりダイス"});
}

TEST(Shop, EveryFourthRefusalDiffers) {
    startShop(600, 4);
    // Refused, refused, bought (500), then refused four times: the purchase does not reset.
    visitShop({"9", "k", "9", "k", "5", "k", "9", "k", "9", "k", "9", "k", "9", "k", "0"});
    std::vector<std::string> replies;
    for (const ScreenGrid& page : vt::snapshots()) {
        for (const char* reply : {kShortOfMoney, kOnPurpose, kThanks}) {
            if (page.textAt(1, 40, textColumns(reply)) == reply) {
                replies.push_back(reply);
            }
        }
    }
    const std::vector<std::string> expected = {kShortOfMoney, kShortOfMoney, kThanks,
                                               kShortOfMoney, kOnPurpose,    kShortOfMoney,
                                               kShortOfMoney};
    EXPECT_EQ(replies, expected);
    EXPECT_EQ(player.coin, 100);
    EXPECT_EQ(itemTable[5].count, 1);
}

TEST(Shop, EntriesOutOfRangeAreAskedAgainSilently) {
    startShop(100, 1);
    visitShop({"-2", "3", "0"});
    const std::vector<ScreenGrid> pages = shopPages();
    ASSERT_EQ(pages.size(), 3u);
    for (const ScreenGrid& page : pages) {
        EXPECT_SNAPSHOT_TEXT_AT(page, 1, 41, "   ");
    }
    EXPECT_EQ(player.coin, 100);
}

TEST(Shop, DescriptionPagesHoldFiveItems) {
    startShop(100, 4);
    visitShop({"-1", "k", "k", "k", "0"});
    // The description pages are the snapshots that have no frame.
    std::vector<ScreenGrid> pages;
    for (const ScreenGrid& page : vt::snapshots()) {
        if (page.textAt(1, 1, 1) == " " && page.textAt(8, 4, 1) != " ") {
            pages.push_back(page);
        }
    }
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_SNAPSHOT_TEXT_AT(pages[0], 8, 4, "マップトランプ");
    EXPECT_SNAPSHOT_TEXT_AT(pages[0], 8, 5, "マップ移動でカードを使用することが出来るようになる");
    EXPECT_SNAPSHOT_TEXT_AT(pages[0], 8, 20, "生命の秘薬4");
    EXPECT_SNAPSHOT_TEXT_AT(pages[0], 8, 21, "ライフの上限を 5 上昇させる事ができる");
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 8, 4, "ライフポット3");
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 8, 13, "ライフを 15 回復する事が出来る");
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 8, 20, "のんびりダイス");
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 8, 4, "せっかちダイス");
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 8, 5,
                            "ダイスを振ってマップを進む際の、ダイスの出目を6にする");
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 8, 8, "   ");
}

}  // namespace
