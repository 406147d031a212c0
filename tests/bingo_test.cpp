// Bingo: the card, the lines, the result table and the draws as the player sees them.
#include "minigames/bingo.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

BingoCard cardMarking(const std::vector<int>& cells) {
    BingoCard card{};
    for (int i = 0; i < kBingoCells; ++i) {
        card[static_cast<std::size_t>(i)] = i + 1;
    }
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
        // One cell short of the line is no bingo.
        EXPECT_FALSE(hasBingoLine(cardMarking({line.begin(), line.end() - 1}))) << line[0];
    }
    // Rows do not wrap: cells 3 to 7 are no line.
    EXPECT_FALSE(hasBingoLine(cardMarking({3, 4, 5, 6, 7})));
}

TEST(BingoRules, ResultByTheBingoBall) {
    const int expected[16] = {0, 5, 5, 5, 5, 5, 4, 4, 3, 3, 2, 2, 2, 1, 1, 1};
    for (int ball = 0; ball <= 15; ++ball) {
        EXPECT_EQ(bingoResult(ball), expected[ball]) << ball;
    }
}

TEST(BingoRules, CardFilledFromCellZeroWithDifferentNumbers) {
    for (const int highest : {25, 99}) {
        seedRandom(1'800'000'123);
        const int firstDraw = nextRandom() % (highest - 1) + 1;
        seedRandom(1'800'000'123);
        const BingoCard card = dealBingoCard(highest);
        EXPECT_EQ(card[0], firstDraw);
        EXPECT_EQ(card[kFreeCell], 0);
        std::set<int> numbers(card.begin(), card.end());
        numbers.erase(0);
        EXPECT_EQ(numbers.size(), 24u) << highest;
        EXPECT_GE(*numbers.begin(), 1);
        EXPECT_LE(*numbers.rbegin(), highest - 1);
    }
}

// The bottom card row as the page shows it, "■" for marked cells.
std::string bottomRowText(const BingoCard& card) {
    std::string text = "｜";
    for (int cell = 4; cell >= 0; --cell) {
        const int n = card[static_cast<std::size_t>(cell)];
        char number[4];
        std::snprintf(number, sizeof number, "%2d", n);
        text += (n == 0 ? std::string("■") : std::string(number)) + "｜";
    }
    return text;
}

TEST(Bingo, SameSecondGivesTheBottomRowOnTheFifthBall) {
    vt::reset();
    seedRandom(static_cast<std::uint32_t>(vt::Options{}.wallClockStart));
    const BingoCard card = dealBingoCard(50);
    for (int i = 0; i < 12; ++i) {  // rules, start, two per ball
        vt::type(" ");
    }
    int result = -1;
    vt::run([&] { result = playBingo(50); });
    EXPECT_FALSE(vt::inputExhausted());
    EXPECT_EQ(result, 5);

    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 12u);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 20, "・このゲームでの数字は、 1～50となります。");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 17, 9, bottomRowText(card));
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 27, 7, "■");  // the free centre

    // Balls come out in the order the card was filled, each marked once it has been shown.
    BingoCard marked = card;
    std::string earlier;
    for (int k = 1; k <= 5; ++k) {
        const ScreenGrid& drawn = snaps[static_cast<std::size_t>(2 * k)];
        char line[64];
        std::snprintf(line, sizeof line, "#       %2d  ### # #  ", card[k - 1]);
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 18, 20, line);
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 1, 31, earlier + " ");
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 17, 9, bottomRowText(marked));
        marked[static_cast<std::size_t>(k - 1)] = 0;
        EXPECT_SNAPSHOT_TEXT_AT(snaps[2 * k + 1], 17, 9, bottomRowText(marked));
        earlier += std::to_string(card[k - 1]) + ", ";
    }
}

// The result and the number of balls the rules give when the balls are seeded `gap` seconds
// after the card.
std::pair<int, int> expectedGame(std::int64_t second, int gap, int highest) {
    seedRandom(static_cast<std::uint32_t>(second));
    BingoCard card = dealBingoCard(highest);
    seedRandom(static_cast<std::uint32_t>(second + gap));
    std::vector<int> balls;
    while (static_cast<int>(balls.size()) < kBingoBalls) {
        const int ball = nextRandom() % (highest - 1) + 1;
        if (std::find(balls.begin(), balls.end(), ball) == balls.end()) {
            balls.push_back(ball);
            std::replace(card.begin(), card.end(), ball, 0);
            if (hasBingoLine(card)) {
                break;
            }
        }
    }
    const int drawn = static_cast<int>(balls.size());
    return {hasBingoLine(card) ? bingoResult(drawn) : 0, drawn};
}

TEST(Bingo, StopsAtTheFirstLineOrAfterFifteenBalls) {
    for (const int wanted : {0, 2}) {
        std::int64_t second = 1'800'000'000;
        while (expectedGame(second, 3, 25).first != wanted) {
            ++second;
        }
        const int balls = expectedGame(second, 3, 25).second;
        vt::Options options;
        options.wallClockStart = second;
        vt::reset(options);
        vt::type(" ");
        vt::typeAt(3000, " ");
        for (int i = 0; i < 2 * balls; ++i) {
            vt::type(" ");
        }
        int result = -1;
        vt::run([&] { result = playBingo(25); });
        EXPECT_FALSE(vt::inputExhausted()) << wanted;
        EXPECT_EQ(result, wanted);
        EXPECT_EQ(vt::snapshots().size(), static_cast<std::size_t>(2 + 2 * balls)) << wanted;
    }
}

}  // namespace
