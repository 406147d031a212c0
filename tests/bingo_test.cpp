// Bingo: the card, the lines, the result table and the draws as the player sees them.
#include "minigames/bingo.hpp"

#include <numeric>
#include <set>
#include <vector>

#include "support/minigame_play.hpp"

namespace {

BingoCard cardMarking(const std::vector<int>& cells) {
    BingoCard card{};
    std::iota(card.begin(), card.end(), 1);
    card[kFreeCell] = 0;
    for (const int cell : cells) {
        card[static_cast<std::size_t>(cell)] = 0;
    }
    return card;
}

TEST(BingoRules, EveryLineAndNearMisses) {
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
}

TEST(BingoRules, ResultByTheBingoBallAndADealtCard) {
    const int expected[16] = {0, 5, 5, 5, 5, 5, 4, 4, 3, 3, 2, 2, 2, 1, 1, 1};
    for (int ball = 0; ball <= 15; ++ball) {
        EXPECT_EQ(bingoResult(ball), expected[ball]) << ball;
    }
    // 24 different numbers below the highest, and the free centre.
    const BingoCard card = dealBingoCard(99);
    const std::set<int> numbers(card.begin(), card.end());
    EXPECT_EQ(card[kFreeCell], 0);
    EXPECT_EQ(numbers.size(), 25u);
    EXPECT_LE(*numbers.rbegin(), 98);
}

TEST(Bingo, SameSecondGivesTheBottomRowOnTheFifthBall) {
    vt::reset();
    seedRandom(static_cast<std::uint32_t>(vt::Options{}.wallClockStart));
    const BingoCard card = dealBingoCard(50);
    pressKeys(12);  // rules, start, two per ball
    EXPECT_EQ(gameResult([] { return playBingo(50); }), 5);

    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 12u);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 20, "・このゲームでの数字は、 1～50となります。");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 27, 7, "■");  // the free centre
    // Balls come out in the order the card was filled (the bottom row, right to left), each
    // marked on the card once it has been shown.
    std::string earlier;
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE(k);
        const ScreenGrid& drawn = snaps[static_cast<std::size_t>(2 * k)];
        const std::string ball = (card[k - 1] < 10 ? " " : "") + std::to_string(card[k - 1]);
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 18, 20, "#       " + ball + "  ### # #  ");
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 1, 31, earlier + " ");
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 19 + 4 * (5 - k), 9, ball + "｜");
        EXPECT_SNAPSHOT_TEXT_AT(snaps[2 * k + 1], 19 + 4 * (5 - k), 9, "■｜");
        earlier += std::to_string(card[k - 1]) + ", ";
    }
}

TEST(Bingo, NoLineInFifteenBallsLoses) {
    // Balls drawn three seconds after the card; a highest of 10 is raised to 25, the least
    // that fills a card.
    for (std::int64_t second = 1'800'000'000; second < 1'800'000'100; ++second) {
        resetAtSecond(second);
        vt::type(" ");
        vt::typeAt(3000, " ");
        pressKeys(30);
        if (gameResult([] { return playBingo(10); }) == 0) {
            ASSERT_EQ(vt::snapshots().size(), 32u);
            EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[0], 8, 20, "・このゲームでの数字は、 1～25");
            EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[30], 14, 13, "-- 15 回目 --");
            return;
        }
    }
    FAIL() << "no game without a line";
}

}  // namespace
