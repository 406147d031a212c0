#include "console/screen.hpp"

#include "console/console.hpp"
#include "state/player_state.hpp"

void printPlaced(std::span<const PlacedText> lines) {
    for (const PlacedText& line : lines) {
        moveCursor(line.column, line.row);
        printPlain(line.text);
    }
}

void drawFrame() {
    const char* const edge =
        "*******************************************************************************\n";
    printPlain(edge);
    for (int row = 2; row <= 38; ++row) {
        printPlain(
            "*                                                                             *\n");
    }
    printPlain(edge);
}

void printStatusLine() {
    printText("LIFE : %2d/%2d , COIN : %5d , LV : %d 経験値(%2d/100)", player.life, maxLife(),
              player.coin, player.level, player.exp);
}

void clearPromptLine(int offset) {
    moveCursor(1, 40 - offset);
    deleteLine();
    deleteLine();
}

bool askNumberOnce(int row, const char* text, int& value) {
    moveCursor(1, row);
    printPlain(text);
    return readInt(value);
}

int promptNumberInRange(int row, const char* text, int low, int high) {
    return promptNumber(row, text, [=](int value) { return value >= low && value <= high; });
}

int promptNumberFrom(int row, const char* text, std::initializer_list<int> accepted) {
    return promptNumber(row, text, [&](int value) {
        for (const int a : accepted) {
            if (a == value) {
                return true;
            }
        }
        return false;
    });
}
