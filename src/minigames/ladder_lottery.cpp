#include "minigames/ladder_lottery.hpp"

#include <algorithm>
#include <cstdio>

#include "console/console.hpp"
#include "console/random.hpp"
#include "console/screen.hpp"
#include "minigames/minigames.hpp"
#include "minigames/rules_page.hpp"

namespace {

// Slot k joins this line and the next, repeating every five slots.
constexpr int kSlotLeftLines[5] = {2, 4, 1, 3, 5};

// Rung rows as shown from top to bottom: the slots of each row join disjoint pairs.
struct RungRow {
    int firstSlot;
    int slots;  // 2: lines 2-3 and 4-5; 3: lines 1-2, 3-4 and 5-6
};
constexpr RungRow kRungRows[7] = {{15, 2}, {12, 3}, {10, 2}, {7, 3}, {5, 2}, {2, 3}, {0, 2}};

const char* const kIndent = "        ";

void drawEmptyLadder() {
    clearScreen();
    moveCursor(1, 10);
    printPlain(kIndent);
    printPlain("　　１　　２　　３　　４　　５　　６\n");
    for (int i = 0; i < 9; ++i) {
        printPlain(kIndent);
        printPlain("　　｜　　｜　　｜　　｜　　｜　　｜\n");
    }
    printPlain(kIndent);
    printPlain("　　？　　？　　？　　？　　？　　？\n");
    printPlain("\n");
}

// Asks for `count` different lines; with one pick the repeat check never applies.
std::array<int, 2> askPicks(int count) {
    std::array<int, 2> picks{};
    for (int j = 1; j <= count; ++j) {
        char prompt[64];
        if (count == 1) {
            std::snprintf(prompt, sizeof prompt, "どれにしますか？ >> ");
        } else {
            std::snprintf(prompt, sizeof prompt, "%dつ目はどれにしますか？ >> ", j);
        }
        for (;;) {
            int pick = 0;
            if (!askNumberOnce(40, prompt, pick) || pick < 1 || pick > kLadderLines) {
                clearPromptLine(0);
                continue;
            }
            if (std::find(picks.begin(), picks.begin() + (j - 1), pick) !=
                picks.begin() + (j - 1)) {
                clearPromptLine(0);
                printPlain("  ※ 同じ場所は選べません");
                waitKey();
                clearPromptLine(0);
                continue;
            }
            clearPromptLine(0);
            picks[static_cast<std::size_t>(j - 1)] = pick;
            break;
        }
    }
    return picks;
}

void drawResultLadder(int hitLine, const Rungs& rungs) {
    clearScreen();
    moveCursor(1, 10);
    printPlain(kIndent);
    printPlain("　　１　　２　　３　　４　　５　　６　　\n");
    printPlain(kIndent);
    printPlain("　　｜　　｜　　｜　　｜　　｜　　｜　　\n");
    for (const RungRow& row : kRungRows) {
        const auto rung = [&](int i) { return rungs[static_cast<std::size_t>(row.firstSlot + i)]; };
        printPlain(kIndent);
        if (row.slots == 2) {
            printPlain("　　｜");
            printPlain("　　｜");
            printPlain(rung(0) ? "――｜" : "　　｜");
            printPlain("　　｜");
            printPlain(rung(1) ? "――｜" : "　　｜");
            printPlain("　　｜　　\n");
        } else {
            printPlain("　　");
            for (int i = 0; i < 3; ++i) {
                printPlain(rung(i) ? "｜――" : "｜　　");
                printPlain("｜　　");
            }
            printPlain("\n");
        }
    }
    printPlain(kIndent);
    printPlain("　　｜　　｜　　｜　　｜　　｜　　｜　　\n");
    printPlain(kIndent);
    for (int line = 1; line <= kLadderLines; ++line) {
        printPlain("　　");
        printPlain(line == hitLine ? "○" : "　");
    }
    printPlain("　　\n");
}

}  // namespace

int rungLeftLine(int slot) {
    return kSlotLeftLines[slot % 5];
}

int ladderAnswer(int hitLine, const Rungs& rungs) {
    // Slot 0 is the lowest rung, so going through the slots upwards follows the path from the
    // hit line back to the top.
    int line = hitLine;
    for (int k = 0; k < kRungSlots; ++k) {
        if (rungs[static_cast<std::size_t>(k)] == 0) {
            continue;
        }
        const int left = rungLeftLine(k);
        if (line == left) {
            line = left + 1;
        } else if (line == left + 1) {
            line = left;
        }
    }
    return line;
}

int playLadderLottery(int picks) {
    // Only one or two picks make a game: more could not all differ on six lines.
    const int count = std::clamp(picks, 1, 2);

    char picksLine[64];
    std::snprintf(picksLine, sizeof picksLine, "・6本の線の中から、%d", count);
    const PlacedText rules[] = {
        {16, 7, "～ あみだくじ ～"},
        {8, 10, "ルール"},
        {8, 12, picksLine},
        {28, 12, "本を選んでください。"},
        {8, 14, "・ランダムでアタリの位置が決定し、横棒もランダムに引かれます。"},
        {8, 16, "・選んだ線を辿り、当たり（○）の位置に到達すればあなたの勝ち"},
        {8, 18, "  外れればあなたの負けです。"},
    };
    showRulesPage(rules);

    drawEmptyLadder();
    const std::array<int, 2> chosen = askPicks(count);

    // Drawn after the picks, so the player cannot see anything to go by.
    seedRandomFromClock();
    const int hitLine = nextRandom() % kLadderLines + 1;
    Rungs rungs{};
    for (int& rung : rungs) {
        rung = nextRandom() % 2;
    }
    const int answer = ladderAnswer(hitLine, rungs);

    drawResultLadder(hitLine, rungs);
    moveCursor(16, 26);
    printPlain("あなたの選んだ番号  :  ");
    for (int j = 0; j < count; ++j) {
        printText("%d  ", chosen[static_cast<std::size_t>(j)]);
    }
    moveCursor(24, 29);
    printText("正解の番号  :  %d", answer);
    waitKeyAt(1, 40);

    const bool won =
        std::find(chosen.begin(), chosen.begin() + count, answer) != chosen.begin() + count;
    moveCursor(1, 32);
    printPlain(won ? "                      ♪ アタリ ♪ \n"
                   : "                       ! ハズレ ! \n");
    waitKeyAt(1, 40);
    return won ? 1 : 0;
}
