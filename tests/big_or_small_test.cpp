// Big-or-small: the bet rules, and games as the player sees them.
#include "minigames/big_or_small.hpp"

#include <tuple>

#include "support/minigame_play.hpp"

namespace {

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

// Plays a game whose dice come out d1, d2, d3, with these bet entries.
int playRolling(int d1, int d2, int d3, const std::vector<std::string>& entries) {
    const auto roll = [] { return nextRandom() % 6 + 1; };
    const std::int64_t second = findSeedSecond([&] {
        const int a = roll(), b = roll();
        return a == d1 && b == d2 && roll() == d3;
    });
    resetAtSecond(second);
    vt::type("x");  // the rules page
    vt::typeLines(entries);
    pressKeys(3);  // after the dice, the evaluation and the verdict
    const int result = gameResult(playBigOrSmall);
    EXPECT_EQ(vt::snapshots().size(), 4 + entries.size());
    return result;
}

TEST(BigOrSmall, RefusedBetsAskAgainThenTheDiceAndNoSumForAFaceBet) {
    EXPECT_EQ(playRolling(1, 4, 6, {"0", "21", "-4", "abc", "3"}), 15);
    const auto& snaps = vt::snapshots();
    // The rules page: the heading every game shares above the game's own lines.
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 24, 5, "Battle  !!!");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 24, 7, "～ 大小 ～");
    for (int i = 2; i <= 5; ++i) {  // asked again alone on row 39, the list standing
        SCOPED_TRACE(i);
        EXPECT_EQ(snaps[i].textAt(1, 39, 44), "ベットする項目の番号を入力してください >>   ");
        EXPECT_EQ(snaps[i].textAt(1, 40, 10), std::string(10, ' '));
        EXPECT_SNAPSHOT_TEXT_AT(snaps[i], 10, 22, "17 .  3が3つの ゾロ目            倍率  x  150 ");
    }
    // The dice left to right, and the bet read back with the list gone.
    EXPECT_SNAPSHOT_TEXT_AT(snaps[6], 8, 12, "|   ●   |");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[6], 26, 11, "|●    ●|");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[6], 44, 12, "|●    ●|");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[6], 8, 20, " 3 .  1の目が1つ以上含まれる     倍率  x   10 ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[6], 8, 6, "   ");
    EXPECT_EQ(snaps[7].textAt(8, 22, 8), std::string(8, ' '));
    EXPECT_EQ(snaps[8].textAt(10, 25, 10), "当たり！！");
}

TEST(BigOrSmall, SumLineForBothSumBetsWinOrLose) {
    // Three of a face, the bet, the sum line, the multiplier.
    const std::tuple<int, const char*, const char*, int> cases[] = {
        {6, "1", "合計値  : 18", 0}, {1, "2", "合計値  :  3", 0}, {5, "2", "合計値  : 15", 2}};
    for (const auto& [face, bet, sum, expected] : cases) {
        SCOPED_TRACE(sum);
        EXPECT_EQ(playRolling(face, face, face, {bet}), expected);
        EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[3], 8, 22, sum);
        EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[4], 10, 25, expected ? "当たり！！" : "ハズレ！！");
    }
}

}  // namespace
