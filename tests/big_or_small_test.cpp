// Big-or-small: the bet rules, and games as the player sees them.
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
        int bet, d1, d2, d3, expected;
    };
    // Bets 1 and 2 on the sum (3 and 18 lose both ways; edges 4, 10, 11, 17), 3 to 8 on one
    // face anywhere, 9 to 14 on exactly two of a face, 15 to 20 on all three.
    const Case cases[] = {
        {1, 1, 1, 1, 0},    {2, 1, 1, 1, 0},   {1, 6, 6, 6, 0},    {2, 6, 6, 6, 0},
        {1, 1, 1, 2, 2},    {1, 4, 3, 3, 2},   {2, 4, 3, 3, 0},    {2, 5, 3, 3, 2},
        {1, 5, 3, 3, 0},    {2, 6, 6, 5, 2},   {3, 1, 4, 6, 15},   {4, 3, 5, 2, 15},
        {5, 3, 3, 3, 15},   {6, 4, 4, 2, 15},  {7, 1, 2, 5, 15},   {8, 6, 6, 6, 15},
        {3, 2, 3, 4, 0},    {8, 1, 2, 5, 0},   {9, 1, 1, 3, 50},   {11, 3, 3, 3, 0},
        {12, 4, 2, 4, 50},  {14, 6, 5, 6, 50}, {10, 2, 3, 4, 0},   {15, 1, 1, 1, 150},
        {17, 3, 3, 3, 150}, {18, 4, 4, 2, 0},  {20, 6, 6, 6, 150}, {19, 6, 6, 6, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(evaluateBet(c.bet, c.d1, c.d2, c.d3), c.expected)
            << "bet " << c.bet << " dice " << c.d1 << c.d2 << c.d3;
    }
}

// Plays a game whose dice come out d1, d2, d3, with these bet entries.
int playRolling(int d1, int d2, int d3, const std::vector<std::string>& entries) {
    const std::int64_t second = findSeedSecond([&] {
        const int a = nextRandom() % 6 + 1;
        const int b = nextRandom() % 6 + 1;
        return a == d1 && b == d2 && nextRandom() % 6 + 1 == d3;
    });
    EXPECT_GT(second, 0);
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
    EXPECT_FALSE(vt::inputExhausted());
    EXPECT_EQ(vt::snapshots().size(), 4 + entries.size());
    return result;
}

TEST(BigOrSmall, FaceBetPaysFifteenAndShowsNoSum) {
    EXPECT_EQ(playRolling(1, 4, 6, {"3"}), 15);
    const auto& snaps = vt::snapshots();
    // The dice, left to right, and the bet read back with the list gone.
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 12, "|   ●   |");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 26, 11, "|●    ●|");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 44, 12, "|●    ●|");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 20, " 3 .  1の目が1つ以上含まれる     倍率  x   10 ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 6, "   ");
    EXPECT_EQ(snaps[3].textAt(8, 22, 8), std::string(8, ' '));
    EXPECT_EQ(snaps[4].textAt(10, 25, 10), "当たり！！");
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
        EXPECT_EQ(playRolling(c.d1, c.d2, c.d3, {c.bet}), c.expected);
        EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[3], 8, 22, c.sum);
        EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[4], 10, 25, c.verdict);
    }
}

TEST(BigOrSmall, OutOfRangeBetsAskAgainWithTheListStanding) {
    EXPECT_EQ(playRolling(3, 3, 3, {"0", "21", "-4", "abc", "17"}), 150);
    // The prompt asked again, alone on row 39 with row 40 blank.
    for (int i = 2; i <= 5; ++i) {
        const ScreenGrid& page = vt::snapshots()[i];
        EXPECT_EQ(page.textAt(1, 39, 44), "ベットする項目の番号を入力してください >>   ") << i;
        EXPECT_EQ(page.textAt(1, 40, 10), std::string(10, ' ')) << i;
        EXPECT_SNAPSHOT_TEXT_AT(page, 10, 22, "17 .  3が3つの ゾロ目            倍率  x  150 ");
    }
}

}  // namespace
