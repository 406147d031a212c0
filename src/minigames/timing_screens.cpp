#include "minigames/timing_screens.hpp"

#include <cstddef>

#include "console/console.hpp"
#include "console/screen.hpp"

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
