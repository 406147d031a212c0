// Big-or-small: the bet rules, and one game as the player sees it.
#include "minigames/big_or_small.hpp"

#include <gtest/gtest.h>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/seed_search.hpp"
#include "support/virtual_platform.hpp"

namespace {

TEST(BigOrSmallRules, BetsAgainstDice) {
    struct Case {
        int bet;
        int d1, d2, d3;
        int expected;
    };
    const Case cases[] = {
        // Sums: 3 and 18 lose both ways; the edges 4, 10, 11, 17 count.
        {1, 1, 1, 1, 0},
        {2, 1, 1, 1, 0},
        {1, 6, 6, 6, 0},
        {2, 6, 6, 6, 0},
        {1, 2, 2, 2, 2},
        {2, 5, 5, 5, 2},
        {1, 1, 1, 2, 2},
        {1, 4, 3, 3, 2},
        {2, 4, 3, 3, 0},
        {2, 5, 3, 3, 2},
        {1, 5, 3, 3, 0},
        {2, 6, 6, 5, 2},
        // At least one of a face: pays 15 for every face, wherever the die stands.
        {3, 1, 4, 6, 15},
        {4, 3, 5, 2, 15},
        {5, 3, 3, 3, 15},
        {6, 4, 4, 2, 15},
        {7, 1, 2, 5, 15},
        {8, 6, 6, 6, 15},
        {3, 2, 3, 4, 0},
        {8, 1, 2, 5, 0},
        // Exactly two of a face.
        {9, 1, 1, 3, 50},
        {11, 3, 3, 3, 0},
        {12, 4, 4, 2, 50},
        {12, 4, 2, 4, 50},
        {12, 2, 4, 4, 50},
        {14, 6, 5, 6, 50},
        {10, 2, 3, 4, 0},
        {13, 4, 4, 5, 0},
        // All three of a face.
        {15, 1, 1, 1, 150},
        {17, 3, 3, 3, 150},
        {18, 4, 4, 2, 0},
        {20, 6, 6, 6, 150},
        {19, 6, 6, 6, 0},
        {16, 2, 2, 1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(evaluateBet(c.bet, c.d1, c.d2, c.d3), c.expected)
            << "bet " << c.bet << " dice " << c.d1 << c.d2 << c.d3;
    }
}

// A second whose seeding rolls these dice.
std::int64_t secondRolling(int d1, int d2, int d3) {
    return findSeedSecond([&] {
        const int a = nextRandom() % 6 + 1;
        const int b = nextRandom() % 6 + 1;
        const int c = nextRandom() % 6 + 1;
        return a == d1 && b == d2 && c == d3;
    });
}

int playWith(std::int64_t second, const std::vector<std::string>& entries) {
    vt::Options options;
    options.wallClockStart = second;
    vt::reset(options);
    vt::type("x");  // the rules page
    vt::typeLines(entries);
    for (int i = 0; i < 3; ++i) {  // after the dice, the evaluation and the verdict
        vt::type(" ");
    }
    int result = -1;
    vt::run([&] { result = playBigOrSmall(); });
    return result;
}

TEST(BigOrSmall, FaceBetPaysFifteenAndShowsNoSum) {
    const std::int64_t second = secondRolling(1, 4, 6);
    ASSERT_GT(second, 0);
    EXPECT_EQ(playWith(second, {"3"}), 15);
    EXPECT_FALSE(vt::inputExhausted());

    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 5u);  // rules, bet entry, and three keys after the roll
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 24, 7, "～ 大小 ～");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 8, 4, "--- ベット一覧 ---");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 10, 6, " 1 .  小 (出目の合計が 4～10)    倍率  x    2 ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 10, 25, "20 .  6が3つの ゾロ目            倍率  x  150 ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 8, 27, "--------------------");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 1, 39, "ベットする項目の番号を入力してください >>");

    // The dice, left to right, and the bet read back.
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 12, "|   ●   |");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 26, 11, "|●    ●|");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 44, 12, "|●    ●|");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 18, "あなたのベットした項目 ：");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 20, " 3 .  1の目が1つ以上含まれる     倍率  x   10 ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 6, "   ");  // the list is gone
    EXPECT_EQ(snaps[2].textAt(8, 22, 8), std::string(8, ' '));
    EXPECT_EQ(snaps[3].textAt(8, 22, 8), std::string(8, ' '));
    EXPECT_EQ(snaps[4].textAt(10, 25, 10), "当たり！！");
    EXPECT_EQ(vt::cursorRow(), 40);
}

TEST(BigOrSmall, SumLineForBothSumBetsWinOrLose) {
    struct Case {
        int d1, d2, d3;
        const char* bet;
        int expected;
        const char* sum;
        const char* verdict;
    };
    const Case cases[] = {
        {6, 6, 6, "1", 0, "合計値  : 18", "ハズレ！！"},
        {1, 1, 1, "2", 0, "合計値  :  3", "ハズレ！！"},
        {4, 4, 2, "1", 2, "合計値  : 10", "当たり！！"},
        {5, 5, 5, "2", 2, "合計値  : 15", "当たり！！"},
    };
    for (const Case& c : cases) {
        const std::int64_t second = secondRolling(c.d1, c.d2, c.d3);
        ASSERT_GT(second, 0);
        EXPECT_EQ(playWith(second, {c.bet}), c.expected);
        const auto& snaps = vt::snapshots();
        ASSERT_EQ(snaps.size(), 5u);
        EXPECT_SNAPSHOT_TEXT_AT(snaps[3], 8, 22, c.sum);
        EXPECT_SNAPSHOT_TEXT_AT(snaps[4], 10, 25, c.verdict);
    }
}

TEST(BigOrSmall, OutOfRangeBetsAskAgainWithTheListStanding) {
    const std::int64_t second = secondRolling(3, 3, 3);
    ASSERT_GT(second, 0);
    EXPECT_EQ(playWith(second, {"0", "21", "-4", "abc", "17"}), 150);
    const auto& snaps = vt::snapshots();
    // Snapshots 1 to 5: the prompt asked five times, alone on row 39 with row 40 blank.
    ASSERT_EQ(snaps.size(), 9u);
    for (int i = 2; i <= 5; ++i) {
        EXPECT_EQ(snaps[i].textAt(1, 39, 44), "ベットする項目の番号を入力してください >>   ") << i;
        EXPECT_EQ(snaps[i].textAt(1, 40, 10), std::string(10, ' ')) << i;
        EXPECT_SNAPSHOT_TEXT_AT(snaps[i], 10, 22, "17 .  3が3つの ゾロ目            倍率  x  150 ");
        EXPECT_SNAPSHOT_TEXT_AT(snaps[i], 8, 27, "--------------------");
    }
}

}  // namespace
