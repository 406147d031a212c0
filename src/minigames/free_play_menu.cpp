// The free-play menu: every mini-game without stakes; results are dropped.
#include "console/console.hpp"
#include "console/screen.hpp"
#include "minigames/minigames.hpp"

namespace {

constexpr const char* kMenuLines[] = {
    " 1.  大小",
    " 2.  ハイ＆ロー",
    " 3.  短距離走",
    " 4.  射的ゲーム",
    " 5.  バッティングゲーム",
    " 6.  あみだくじ",
    " 7.  あみだくじ ～Easyモード～",
    " 8.  ビンゴゲーム 25",
    " 9.  ビンゴゲーム 50",
    "10.  ビンゴゲーム 75",
    "11.  ビンゴゲーム 99",
    " 0.  タイトル画面に戻る",
};

constexpr int kLastChoice = 11;

void drawMenu() {
    clearScreen();
    drawFrame();
    int row = 4;
    for (const char* line : kMenuLines) {
        moveCursor(16, row);
        printPlain(line);
        row += 2;
    }
}

// Asks on row 40 until 0 to 11 is entered; a refused entry clears rows 39 and 40.
int askChoice() {
    for (;;) {
        int choice = 0;
        if (askNumberOnce(40, "遊ぶミニゲームの番号を選択してください > ", choice) && choice >= 0 &&
            choice <= kLastChoice) {
            return choice;
        }
        clearPromptLine(1);
    }
}

// Choices 3 and 4 are crossed over on purpose: the line 短距離走 starts the shooting gallery
// and the line 射的ゲーム the sprint.
void startGame(int choice) {
    switch (choice) {
        case 1:
            playBigOrSmall();
            break;
        case 2:
            playHighAndLow();
            break;
        case 3:
            playShooting();
            break;
        case 4:
            playSprint();
            break;
        case 5:
            playBatting();
            break;
        case 6:
            playLadderLottery(1);
            break;
        case 7:
            playLadderLottery(2);
            break;
        case 8:
            playBingo(25);
            break;
        case 9:
            playBingo(50);
            break;
        case 10:
            playBingo(75);
            break;
        case 11:
            playBingo(99);
            break;
        default:
            break;
    }
}

}  // namespace

void freePlayMenu() {
    for (;;) {
        drawMenu();
        const int choice = askChoice();
        if (choice == 0) {
            return;
        }
        startGame(choice);
    }
}
