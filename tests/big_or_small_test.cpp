// Big-or-small: the bet rules, and games as the player sees them.
#include "minigames/big_or_small.hpp"

#include "support/play.hpp"

TEST(BigOrSmallRules, BetsAgainstDice) {
    // Bet, dice, multiplier: sums 3 and 18 lose both ways, and bets 3 to 8 pay 15.
    const int cases[][5] = {
        {1, 1, 1, 1, 0},   {2, 6, 6, 6, 0},    {1, 1, 1, 2, 2},    {1, 4, 3, 3, 2},
        {2, 4, 3, 3, 0},   {2, 5, 3, 3, 2},    {2, 6, 6, 5, 2},    {3, 1, 4, 6, 15},
        {8, 6, 6, 6, 15},  {3, 2, 3, 4, 0},    {9, 1, 1, 3, 50},   {11, 3, 3, 3, 0},
        {14, 6, 5, 6, 50}, {15, 1, 1, 1, 150}, {20, 6, 6, 6, 150}, {18, 4, 4, 2, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(evaluateBet(c[0], c[1], c[2], c[3]), c[4])
            << c[0] << ": " << c[1] << c[2] << c[3];
    }
}

// Plays a game whose dice come out d1, d2, d3, with these bet entries; three keys after.
static int playRolling(int d1, int d2, int d3, const Keys& entries) {
    const auto roll = [] { return nextRandom() % 6 + 1; };
    const std::int64_t second = findSeedSecond([&] {
        const int a = roll(), b = roll();
        return a == d1 && b == d2 && roll() == d3;
    });
    const int result = play(Keys{"x"} + entries + Keys(3, " "), playBigOrSmall, second);
    EXPECT_EQ(vt::snapshots().size(), 4 + entries.size());
    return result;
}

// A refused bet clears rows 39 and 40 and asks again on the standing list; a face bet shows
// no sum line. Sum bets show it, win or lose.
TEST(BigOrSmall, RefusedBetsTheDiceTheSumLineAndTheVerdict) {
    EXPECT_EQ(playRolling(1, 4, 6, {"0\r", "21\r", "-4\r", "abc\r", "3\r"}), 15);
    // clang-format off
    expectPages({{0, "big_or_small_rules"}, {1, "big_or_small_bets"}, {2, "big_or_small_bets"},
                 {5, "big_or_small_bets"}, {6, "big_or_small_dice"}, {8, "big_or_small_won"}});
    // clang-format on
    // Three of a face, the bet, the sum line, the multiplier.
    const std::tuple<int, const char*, const char*, int> cases[] = {{6, "1\r", "合計値  : 18", 0},
                                                                    {1, "2\r", "合計値  :  3", 0},
                                                                    {5, "2\r", "合計値  : 15", 2}};
    for (const auto& [face, bet, sum, expected] : cases) {
        EXPECT_EQ(playRolling(face, face, face, {bet}), expected) << sum;
        EXPECT_AT(page(3), 8, 22, sum);
        EXPECT_AT(page(4), 10, 25, expected ? "当たり！！" : "ハズレ！！");
    }
}
