#include "minigames/rules_page.hpp"

#include "console/console.hpp"

void showRulesPage(std::span<const PlacedText> lines) {
    clearScreen();
    drawFrame();
    printPlaced(lines);
    waitKeyAt(1, 40);
}
