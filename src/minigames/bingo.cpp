#include "minigames/bingo.hpp"

#include <algorithm>
#include <cstdio>
#include <span>

#include "console/console.hpp"
#include "console/random.hpp"
#include "console/screen.hpp"
#include "minigames/minigames.hpp"
#include "minigames/rules_page.hpp"

namespace {

const char* const kBallPicture[14] = {
    "                       #####          ", "                    ###     ###       ",
    "                  ##           ##     ", "                 #               #    ",
    "                 #     No        ##   ", "                 #           ### # #  ",
    "                 #          #   ## #  ", "                  ##         #   # #  ",
    "                  # ###     ###   ##  ", "                   #   ##### #     #  ",
    "                    ##       ##   #   ", "                      ### #####  #    ",
    "                        #       #     ", "                        #       #     ",
};

// The twelve lines, as their first cell and the step to the next.
struct Line {
    int first;
    int step;
};
constexpr Line kLines[12] = {
    {0, 1}, {5, 1}, {10, 1}, {15, 1}, {20, 1},  // rows
    {0, 5}, {1, 5}, {2, 5},  {3, 5},  {4, 5},   // columns
    {0, 6}, {4, 4},                             // diagonals
};

// The last ball that earns each result, from the best down; a bingo needs four balls at least.
struct ResultBand {
    int lastBall;
    int result;
};
constexpr ResultBand kResultBands[5] = {{5, 5}, {7, 4}, {9, 3}, {12, 2}, {15, 1}};

int drawNumber(int highest) {
    return nextRandom() % (highest - 1) + 1;
}

// Draws until the number is none of the ones already taken.
int drawNewNumber(int highest, std::span<const int> taken) {
    for (;;) {
        const int number = drawNumber(highest);
        if (std::find(taken.begin(), taken.end(), number) == taken.end()) {
            return number;
        }
    }
}

// The five card rows, top row (cells 24 to 20) first, from the cursor on.
void printCardRows(const BingoCard& card) {
    for (int row = 4; row >= 0; --row) {
        printPlain("        ");
        printPlain("　　　　｜");
        for (int cell = row * 5 + 4; cell >= row * 5; --cell) {
            const int number = card[static_cast<std::size_t>(cell)];
            if (number == 0) {
                printPlain("■｜");
            } else {
                printText("%2d｜", number);
            }
        }
        printPlain("\n");
    }
}

}  // namespace

BingoCard dealBingoCard(int highest) {
    BingoCard card{};
    for (int cell = 0; cell < kBingoCells; ++cell) {
        if (cell == kFreeCell) {
            continue;
        }
        // The free centre holds 0, which no draw can give.
        card[static_cast<std::size_t>(cell)] = drawNewNumber(
            highest, std::span<const int>(card.data(), static_cast<std::size_t>(cell)));
    }
    return card;
}

bool hasBingoLine(const BingoCard& card) {
    for (const Line& line : kLines) {
        bool marked = true;
        for (int i = 0; i < 5; ++i) {
            marked = marked && card[static_cast<std::size_t>(line.first + i * line.step)] == 0;
        }
        if (marked) {
            return true;
        }
    }
    return false;
}

int bingoResult(int bingoBall) {
    for (const ResultBand& band : kResultBands) {
        if (bingoBall >= 1 && bingoBall <= band.lastBall) {
            return band.result;
        }
    }
    return 0;
}

int playBingo(int highest) {
    // The card needs 24 different numbers below the highest, and shows two digits.
    const int top = std::clamp(highest, 25, 99);

    char rangeLine[64];
    std::snprintf(rangeLine, sizeof rangeLine, "・このゲームでの数字は、 1～%d", top);
    const PlacedText rules[] = {
        {16, 7, "～ ビンゴゲーム ～"},
        {8, 10, "ルール"},
        {8, 12, "・配られたカードにある数字と、ビンゴボールの数字が同じ場合、"},
        {8, 14, "  番号の箇所に穴を空けていきます。"},
        {8, 16, "・15回ボールが出る間に、縦、横、斜めのいずれか一つのラインが"},
        {8, 18, "  全て空けばあなたの勝利となります。"},
        {8, 20, rangeLine},
        {38, 20, "となります。"},
    };
    showRulesPage(rules);
    clearScreen();

    seedRandomFromClock();
    BingoCard card = dealBingoCard(top);

    moveCursor(1, 1);
    printPlain("\n\n");
    printPlain("        ");
    printPlain("　　＜あなたのビンゴカード＞　\n\n");
    printCardRows(card);

    moveCursor(1, 39);
    printPlain("        それでは、ビンゴを開始します！！\n");
    waitKey();
    clearPromptLine(1);

    seedRandomFromClock();
    moveCursor(1, 13);
    printPlain("\n\n");
    for (const char* const line : kBallPicture) {
        printPlain(line);
        printPlain("\n");
    }

    std::array<int, kBingoBalls> balls{};
    int bingoBall = 0;
    for (int k = 1; k <= kBingoBalls && bingoBall == 0; ++k) {
        const std::span<const int> earlier(balls.data(), static_cast<std::size_t>(k - 1));
        const int ball = drawNewNumber(top, earlier);
        balls[static_cast<std::size_t>(k - 1)] = ball;

        moveCursor(1, 13);
        printText("             -- %2d 回目 -- \n", k);
        moveCursor(1, 20);
        printPlain("                 ");
        printText("#       %2d  ### # #  \n", ball);
        if (k >= 2) {
            moveCursor(1, 30);
            printPlain("これまでに出たナンバー : \n");
            for (const int number : earlier) {
                printText("%d, ", number);
            }
        }
        waitKeyAt(1, 39);

        std::replace(card.begin(), card.end(), ball, 0);
        moveCursor(1, 5);
        printCardRows(card);
        waitKeyAt(1, 39);

        if (hasBingoLine(card)) {
            bingoBall = k;
        }
    }
    return bingoResult(bingoBall);
}
