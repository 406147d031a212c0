#include "console/console.hpp"
#include "console/screen.hpp"
#include "frontend/frontend.hpp"
#include "items/items.hpp"
#include "minigames/minigames.hpp"
#include "state/player_state.hpp"
#include "state/save_file.hpp"

namespace {

struct MenuEntry {
    int row;
    const char* text;
    bool extraModeOnly;
};

constexpr MenuEntry kEntries[] = {
    {10, "1.  すごろくステージへ", false}, {12, "2.  SHOPへ", false},
    {14, "3.  アイテムを使う", false},     {16, "4.  ミニゲームで遊ぶ", true},
    {30, "8.  データをセーブする", false}, {32, "9.  データをロードする", false},
    {34, "0.  タイトル画面に戻る", false},
};

}  // namespace

void mainMenu() {
    for (;;) {
        const bool extra = player.extraMode != 0;
        clearScreen();
        drawFrame();
        for (const MenuEntry& entry : kEntries) {
            if (extra || !entry.extraModeOnly) {
                moveCursor(16, entry.row);
                printPlain(entry.text);
            }
        }
        const int choice = promptNumber(40, "実行メニューを選択してください  > ", [&](int value) {
            return value == 0 || (value >= 1 && value <= (extra ? 4 : 3)) || value == 8 ||
                   value == 9;
        });
        switch (choice) {
            case 0:
                return;
            case 1:
                stageSelection();
                continue;
            case 2:
                clearScreen();
                shopScreen();
                break;
            case 3:
                clearScreen();
                inventoryScreen(UseContext::MainMenu);
                break;
            case 4:
                clearScreen();
                freePlayMenu();
                break;
            case 8:
                clearScreen();
                saveGame();
                break;
            case 9:
                clearScreen();
                loadGame();
                break;
            default:
                break;
        }
        waitKey();
    }
}
