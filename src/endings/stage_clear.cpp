#include "console/console.hpp"
#include "console/screen.hpp"
#include "endings/endings.hpp"

namespace {

const char* const kClearLines[13] = {
    "Congratulation !!",
    "ステージクリア おめでとうございます !!",
    "支配していた魔物が隠し持っていた秘蔵の書を発見しました。",
    "--あなたが触った瞬間、書物にかけられた封印が解かれた！--",
    "秘蔵の書には新たな土地への移動ルートが書かれていました。",
    "これで新たなステージに挑戦する事ができます。",
    "ぜひ次のステージも挑戦してくださいね。",
    "しかし、あなたのLVが足りず、秘蔵の書の封印を解くことが出来ない。",
    "再びステージに挑戦し、LVを上げましょう。",
    "このエリアは既にクリアしています。",
    "ショップの品揃えが増えたとの連絡が来ました。",
    "次のステージに進む場合、敵が強くなる事が予想されます。",
    "来たる時に備え、しっかり準備してから進みましょう。",
};

void printLine(int column, int row, int i) {
    moveCursor(column, row);
    printPlain(kClearLines[i]);
}

}  // namespace

// The pages overlap on purpose: the unlocked page covers the heading lines it first drew.
void stageClearScreen(int newStageUnlocked, int alreadyCleared, int firstClear) {
    clearScreen();
    drawFrame();
    for (int i = 0; i <= 12; ++i) {
        if (i == 0 || i == 1) {
            printLine((3 - i) * 8, 2 * i + 8, i);
        }
        if (alreadyCleared == 1 && i == 9) {
            printLine(16, 20, i);
        } else if (newStageUnlocked == 1) {
            if (i < 7) {
                printLine(8, 2 * i + 6, i);
            }
        } else if (i == 2) {
            printLine(8, 10, i);
        } else if (i == 7 || i == 8) {
            printLine(8, 2 * i - 2, i);
        }
        if (firstClear == 1 && i > 9) {
            printLine(8, 2 * i + 10, i);
        }
    }
}
