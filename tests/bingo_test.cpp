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

BingoCard unmarkedCard() {
    BingoCard card{};
    for (int i = 0; i < kBingoCells; ++i) {
        card[static_cast<std::size_t>(i)] = i + 1;
    }
    card[kFreeCell] = 0;
    return card;
}

TEST(BingoRules, EveryLineAndNearMisses) {
    const std::vector<std::vector<int>> lines = {
        {0, 1, 2, 3, 4},      {5, 6, 7, 8, 9},    {10, 11, 13, 14},   {15, 16, 17, 18, 19},
        {20, 21, 22, 23, 24}, {0, 5, 10, 15, 20}, {1, 6, 11, 16, 21}, {2, 7, 17, 22},
        {3, 8, 13, 18, 23},   {4, 9, 14, 19, 24}, {0, 6, 18, 24},     {4, 8, 16, 20},
    };
    EXPECT_FALSE(hasBingoLine(unmarkedCard()));
    for (const auto& line : lines) {
        BingoCard card = unmarkedCard();
        for (const int cell : line) {
            card[static_cast<std::size_t>(cell)] = 0;
        }
        EXPECT_TRUE(hasBingoLine(card)) << "line from cell " << line[0];
        // One cell short of the line is no bingo.
        card[static_cast<std::size_t>(line.back())] = 99;
        EXPECT_FALSE(hasBingoLine(card)) << "line from cell " << line[0];
    }
    // Wrapping rows are not lines: cells 3 to 7 run over the end of the bottom row.
    BingoCard wrapped = unmarkedCard();
    for (const int cell : {3, 4, 5, 6, 7}) {
        wrapped[static_cast<std::size_t>(cell)] = 0;
    }
    EXPECT_FALSE(hasBingoLine(wrapped));
}

TEST(BingoRules, ResultByTheBingoBall) {
    const int expected[16] = {0, 5, 5, 5, 5, 5, 4, 4, 3, 3, 2, 2, 2, 1, 1, 1};
    for (int ball = 0; ball <= 15; ++ball) {
        EXPECT_EQ(bingoResult(ball), expected[ball]) << ball;
    }
}

TEST(BingoRules, CardFilledFromCellZeroWithDifferentNumbers) {
    for (const int highest : {25, 50, 75, 99}) {
        seedRandom(1'800'000'123);
        const int firstDraw = nextRandom() % (highest - 1) + 1;
        seedRandom(1'800'000'123);
        const BingoCard card = dealBingoCard(highest);
        EXPECT_EQ(card[0], firstDraw) << highest;
        EXPECT_EQ(card[kFreeCell], 0) << highest;
        std::set<int> numbers;
        for (int cell = 0; cell < kBingoCells; ++cell) {
            if (cell != kFreeCell) {
                EXPECT_GE(card[static_cast<std::size_t>(cell)], 1);
                EXPECT_LE(card[static_cast<std::size_t>(cell)], highest - 1);
                numbers.insert(card[static_cast<std::size_t>(cell)]);
            }
        }
        EXPECT_EQ(numbers.size(), 24u) << highest;
        if (highest == 25) {
            EXPECT_EQ(*numbers.begin(), 1);
            EXPECT_EQ(*numbers.rbegin(), 24);
        }
    }
}

// The numbers of one card row (0 = bottom) as the page shows them, "■" for marked cells.
std::string cardRowText(const BingoCard& card, int row) {
    std::string text = "｜";
    for (int cell = row * 5 + 4; cell >= row * 5; --cell) {
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
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 16, 7, "～ ビンゴゲーム ～");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 20, "・このゲームでの数字は、 1～50となります。");

    // The dealt card, with its free centre, and the start message.
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 9, 3, "　　＜あなたのビンゴカード＞　");
    for (int row = 0; row < 5; ++row) {
        EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 17, 9 - row, cardRowText(card, row)) << row;
    }
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 27, 7, "■");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 1, 39, "        それでは、ビンゴを開始します！！");

    // Balls come out in the order the card was filled: cells 0, 1, 2, ...
    BingoCard marked = card;
    for (int k = 1; k <= 5; ++k) {
        const ScreenGrid& drawn = snaps[static_cast<std::size_t>(2 * k)];
        const int ball = card[static_cast<std::size_t>(k - 1)];
        char line[64];
        std::snprintf(line, sizeof line, "             -- %2d 回目 -- ", k);
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 1, 13, line);
        std::snprintf(line, sizeof line, "#       %2d  ### # #  ", ball);
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 18, 20, line);
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 1, 15, "                       #####          ");
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 1, 28, "                        #       #     ");
        EXPECT_EQ(drawn.rowText(39), std::string(80, ' ')) << k;  // the message is gone
        std::string earlier;
        for (int j = 0; j < k - 1; ++j) {
            earlier += std::to_string(card[static_cast<std::size_t>(j)]) + ", ";
        }
        if (k == 1) {
            EXPECT_EQ(drawn.rowText(30), std::string(80, ' '));
        } else {
            EXPECT_SNAPSHOT_TEXT_AT(drawn, 1, 30, "これまでに出たナンバー : ");
            EXPECT_SNAPSHOT_TEXT_AT(drawn, 1, 31, earlier + " ");
        }
        // Marked after the first wait.
        EXPECT_SNAPSHOT_TEXT_AT(drawn, 17, 9, cardRowText(marked, 0));
        marked[static_cast<std::size_t>(k - 1)] = 0;
        EXPECT_SNAPSHOT_TEXT_AT(snaps[static_cast<std::size_t>(2 * k + 1)], 17, 9,
                                cardRowText(marked, 0));
    }
}

// Plays a game whose balls are seeded `gap` seconds after the card; returns the result the
// rules give, with the number of balls drawn.
struct Expected {
    int result;
    int balls;
};
Expected expectedGame(std::int64_t second, int gap, int highest) {
    seedRandom(static_cast<std::uint32_t>(second));
    BingoCard card = dealBingoCard(highest);
    seedRandom(static_cast<std::uint32_t>(second + gap));
    std::vector<int> balls;
    for (int k = 1; k <= kBingoBalls; ++k) {
        int ball = 0;
        do {
            ball = nextRandom() % (highest - 1) + 1;
        } while (std::find(balls.begin(), balls.end(), ball) != balls.end());
        balls.push_back(ball);
        std::replace(card.begin(), card.end(), ball, 0);
        if (hasBingoLine(card)) {
            return {bingoResult(k), k};
        }
    }
    return {0, kBingoBalls};
}

TEST(Bingo, StopsAtTheFirstLineOrAfterFifteenBalls) {
    for (const int wanted : {0, 2}) {
        std::int64_t second = 1'800'000'000;
        Expected e{};
        for (;; ++second) {
            e = expectedGame(second, 3, 25);
            if (e.result == wanted) {
                break;
            }
        }
        vt::Options options;
        options.wallClockStart = second;
        vt::reset(options);
        vt::type(" ");
        vt::typeAt(3000, " ");
        for (int i = 0; i < 2 * e.balls; ++i) {
            vt::type(" ");
        }
        int result = -1;
        vt::run([&] { result = playBingo(25); });
        EXPECT_FALSE(vt::inputExhausted()) << wanted;
        EXPECT_EQ(result, wanted);
        EXPECT_EQ(vt::snapshots().size(), static_cast<std::size_t>(2 + 2 * e.balls)) << wanted;
    }
}

}  // namespace
