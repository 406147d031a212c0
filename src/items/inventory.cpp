#include "console/console.hpp"
#include "console/screen.hpp"
#include "items/items.hpp"

namespace {

// Lists the owned usable items from row 5 down, numbering them from 1; returns how many.
int drawInventoryList() {
    int listed = 0;
    for (int index = kFirstUsableItem; index < kItemCount; ++index) {
        ItemRecord& item = itemTable[index];
        if (item.count <= 0) {
            continue;
        }
        ++listed;
        item.listNumber = listed;
        printItemRow(listed, item, false, true);
    }
    return listed;
}

}  // namespace

void printItemRow(int number, const ItemRecord& item, bool withPrice, bool withCount) {
    const int row = 4 + number;
    moveCursor(8, row);
    printText("%2d.", number);
    moveCursor(12, row);
    printPlain(item.name);
    if (withPrice) {
        moveCursor(40, row);
        printText("%5d", item.price);
    }
    if (withCount) {
        moveCursor(48, row);
        printText("%d", item.count);
    }
}

int inventoryScreen(UseContext context) {
    int result = 0;  // what the last item used in this visit reported
    for (;;) {
        resetListNumbers();
        clearScreen();
        drawFrame();
        moveCursor(16, 3);
        printPlain("-----所持品一覧-----");
        const int listed = drawInventoryList();
        moveCursor(8, 34);
        printPlain(" 0. 戻る");
        moveCursor(8, 37);
        printStatusLine();

        const int choice = promptNumberInRange(40, "どれを使用しますか  > ", 0, listed);
        if (choice == 0) {
            break;
        }
        clearPromptLine(0);
        const int index = itemWithListNumber(choice);
        ItemRecord& item = itemTable[index];
        printText("Item = %s", item.name);
        // The die items fix the next roll of a stage turn; anywhere else they would be wasted.
        if (context != UseContext::StageTurn && index >= kFirstDieItem) {
            printPlain("そのアイテムはここでは使用できません");
            waitKey();
            clearPromptLine(0);
        } else {
            printText("for_debug : item_num %d", item.count);
            result = applyItemEffect(item.effectKind, context);
            --item.count;
        }
    }
    resetListNumbers();
    return context == UseContext::MainMenu ? 0 : result;
}
