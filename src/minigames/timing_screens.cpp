#include "minigames/timing_screens.hpp"

#include <cstddef>

#include "console/console.hpp"
#include "console/screen.hpp"

void showTimingRules(std::span<const char* const> lines) {
    clearScreen();
    drawFrame();
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int row = static_cast<int>(2 * k + 10);
        if (k == 0) {
            moveCursor(24, 5);
        } else if (k == 1) {
            moveCursor(16, 7);
        } else {
            moveCursor(8, row);
        }
        printPlain(lines[k]);
    }
    waitKeyAt(1, 40);
}

void showCountdown(int column, int row) {
    moveCursor(column, row);
    printPlain("３秒前");
    sleepMs(1000);
    moveCursor(column, row);
    printPlain("２");
    sleepMs(1000);
    moveCursor(column, row);
    printPlain("１");
    sleepMs(1000);
    moveCursor(column, row);
    printPlain("スタート！");
}

void printTickClock(int ticks) {
    printText("%d.%2d", ticks / 100, ticks % 100);
}
