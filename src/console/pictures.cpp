#include "console/pictures.hpp"

#include "console/console.hpp"

namespace {

const char* const kDieLines[6] = {
    "+--------+", "|        |", "|●      |", "|   ●   |", "|      ●|", "|●    ●|",
};

// The three middle lines of each face, as lines of kDieLines.
constexpr int kFaceLines[6][3] = {
    {1, 3, 1}, {2, 1, 4}, {2, 3, 4}, {5, 1, 5}, {5, 3, 5}, {5, 5, 5},
};

const char* const kSuitNames[4] = {"スペード", " ハート ", " ダイヤ ", " クラブ "};

}  // namespace

int drawDieFace(int column, int row, int face) {
    const int shown = face >= 1 && face <= 6 ? face : 1;
    moveCursor(column, row);
    printPlain(kDieLines[0]);
    for (int k = 1; k <= 3; ++k) {
        moveCursor(column, row + k);
        printPlain(kDieLines[kFaceLines[shown - 1][k - 1]]);
    }
    moveCursor(column, row + 4);
    printPlain(kDieLines[0]);
    return face;
}

void drawCard(int column, int row, int suit, int value) {
    for (int i = 0; i < 9; ++i) {
        moveCursor(column, row + i);
        if (i == 0 || i == 8) {
            printPlain("+------------+");
        } else if (i == 3) {
            printText("|  %s  |", kSuitNames[suit & 3]);
        } else if (i == 5) {
            printPlain("|     ");
            switch (value) {
                case 1:
                    printPlain(" A");
                    break;
                case 11:
                    printPlain(" J");
                    break;
                case 12:
                    printPlain(" Q");
                    break;
                case 13:
                    printPlain(" K");
                    break;
                default:
                    printText("%2d", value);
                    break;
            }
            printPlain("     |");
        } else {
            printPlain("|            |");
        }
    }
}
