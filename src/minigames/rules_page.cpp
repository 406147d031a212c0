#include "minigames/rules_page.hpp"

#include "console/console.hpp"
#include "console/screen.hpp"

void showRulesPage(std::span<const RulesLine> lines) {
    clearScreen();
    drawFrame();
    for (const RulesLine& line : lines) {
        moveCursor(line.column, line.row);
        printPlain(line.text);
    }
    waitKeyAt(1, 40);
}
