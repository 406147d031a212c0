// Bingo: the card, the lines, the result table and the draws as the player sees them.
#include "minigames/bingo.hpp"

#include <numeric>

#include "support/play.hpp"

static BingoCard cardMarking(const std::vector<int>& cells) {
    BingoCard card{};
    std::iota(card.begin(), card.end(), 1);
    card[kFreeCell] = 0;
    for (const int cell : cells) {
        card[static_cast<std::size_t>(cell)] = 0;
    }
    return card;
}

TEST(BingoRules, EveryLineNearMissesAndResults) {
    const std::vector<std::vector<int>> lines = {
        {0, 1, 2, 3, 4},      {5, 6, 7, 8, 9},    {10, 11, 13, 14},   {15, 16, 17, 18, 19},
        {20, 21, 22, 23, 24}, {0, 5, 10, 15, 20}, {1, 6, 11, 16, 21}, {2, 7, 17, 22},
        {3, 8, 13, 18, 23},   {4, 9, 14, 19, 24}, {0, 6, 18, 24},     {4, 8, 16, 20},
    };
    for (const auto& line : lines) {
        EXPECT_TRUE(hasBingoLine(cardMarking(line))) << "line from cell " << line[0];
        EXPECT_FALSE(hasBingoLine(cardMarking({line.begin(), line.end() - 1}))) << line[0];
    }
    EXPECT_FALSE(hasBingoLine(cardMarking({3, 4, 5, 6, 7})));  // rows do not wrap
    // The result by the ball that made the bingo, 0 for none.
    const int expected[16] = {0, 5, 5, 5, 5, 5, 4, 4, 3, 3, 2, 2, 2, 1, 1, 1};
    for (int ball = 0; ball <= 15; ++ball) {
        EXPECT_EQ(bingoResult(ball), expected[ball]) << ball;
    }
}

// Both seedings in one second: the balls come out in the order the card was filled, the bottom
// row from the right, each marked once it has been shown; the list shows the earlier balls.
TEST(Bingo, SameSecondGivesTheBottomRowOnTheFifthBall) {
    // The rules, the start, two keys a ball.
    EXPECT_EQ(play(Keys(12, " "), [] { return playBingo(50); }), 5);
    ASSERT_EQ(vt::snapshots().size(), 12u);
    // clang-format off
    expectPages({{0, "bingo_rules_50"}, {1, "bingo_card"}, {2, "bingo_first_ball"},
                 {3, "bingo_first_mark"}, {10, "bingo_fifth_ball"}, {11, "bingo_fifth_mark"}});
    // clang-format on
}

TEST(Bingo, NoLineInFifteenBallsLoses) {
    // Balls drawn three seconds after the card; a highest of 10 is raised to 25, the least
    // that fills a card.
    for (std::int64_t second = 1'800'000'000; second < 1'800'000'100; ++second) {
        newGameAt(second);
        vt::type(" ");
        vt::typeAt(3000, " ");
        if (playWith(Keys(30, " "), [] { return playBingo(10); }) == 0) {
            ASSERT_EQ(vt::snapshots().size(), 32u);
            EXPECT_AT(page(0), 8, 20, "・このゲームでの数字は、 1～25");
            EXPECT_AT(page(30), 14, 13, "-- 15 回目 --");
            return;
        }
    }
    FAIL() << "no game without a line";
}
