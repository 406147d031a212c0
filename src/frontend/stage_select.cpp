#include "board/board.hpp"
#include "console/console.hpp"
#include "console/screen.hpp"
#include "endings/endings.hpp"
#include "frontend/frontend.hpp"
#include "state/player_state.hpp"

namespace {

bool stageOpen(int stage) {
    return stage <= player.highestStage && stage <= player.level && stage <= player.stageCount;
}

void drawStageList() {
    clearScreen();
    drawFrame();
    moveCursor(16, 12);
    printPlain(" 1. stage  1 ( 挑戦可能LV :  1 ) をプレイする");
    for (int k = 2; k <= player.stageCount && k <= kStageCount; ++k) {
        moveCursor(16, 2 * k + 10);
        if (player.highestStage < k || player.level < k) {
            printPlain("(ステージが解放されていません)");
        } else {
            printText("%2d%s%2d%s%2d%s", k, ". stage ", k, " ( 挑戦可能LV : ", k,
                      " ) をプレイする");
        }
    }
    moveCursor(8, 34);
    printPlain(" 0. 戻る");
}

}  // namespace

void finishClearedStage(int stage) {
    int newStageUnlocked = 0;
    int alreadyCleared = 0;
    int firstClear = 0;
    if (stage == player.highestStage) {
        firstClear = player.stageClears[stage - 1] == 0 ? 1 : 0;
        if (player.highestStage + 1 <= player.level) {
            newStageUnlocked = 1;
            ++player.highestStage;
        }
    } else {
        alreadyCleared = 1;
    }
    if (player.stageClears[stage - 1] < INT32_MAX) {
        ++player.stageClears[stage - 1];
    }
    clearScreen();
    stageClearScreen(newStageUnlocked, alreadyCleared, firstClear);
}

void stageSelection() {
    for (;;) {
        drawStageList();
        const int stage = promptNumber(40, "ステージを選択してください  > ",
                                       [](int k) { return k == 0 || (k >= 1 && stageOpen(k)); });
        if (stage != 0) {
            clearScreen();
            const int cleared = playStage(stage);
            waitKey();
            if (cleared == 0) {
                clearScreen();
                gameOverScreen();
                waitKey();
                endProgram(1);
            }
            finishClearedStage(stage);
        }
        waitKey();
        if (stage == 0) {
            return;
        }
    }
}
