#include "minigames/rules_page.hpp"

#include "console/console.hpp"

void showRulesPage(std::span<const PlacedText> lines) {
    clearScreen();
    drawFrame();
    moveCursor(24, 5);
    printPlain("Battle  !!!");
    printPlaced(lines);
    waitKeyAt(1, 40);
}
