#pragma once
// The helpers that give every page its common look.
#include <initializer_list>
#include <span>

// A constant text at its position on the page.
struct PlacedText {
    int column;
    int row;
    const char* text;
};

// Prints each text at its position, in order.
void printPlaced(std::span<const PlacedText> lines);

// The 39-row frame of "*" from the cursor (callers clear first); leaves the cursor at (1,40).
void drawFrame();
// "LIFE : %2d/%2d , COIN : %5d , LV : %d 経験値(%2d/100)" at the cursor.
void printStatusLine();
// Removes rows 40 - offset and 41 - offset; leaves the cursor at (1, 40 - offset).
void clearPromptLine(int offset);

// Numeric prompt: prints the text at column 1 of the row and reads a number until one is
// accepted; a refused entry clears the prompt rows (offset 40 - row) and asks again.
template <typename Accepts>
int promptNumber(int row, const char* text, Accepts accepts);
int promptNumberInRange(int row, const char* text, int low, int high);
int promptNumberFrom(int row, const char* text, std::initializer_list<int> accepted);

// One prompt: prints the text at (1, row) and reads a number; false when none was entered.
bool askNumberOnce(int row, const char* text, int& value);

template <typename Accepts>
int promptNumber(int row, const char* text, Accepts accepts) {
    for (;;) {
        int value = 0;
        if (askNumberOnce(row, text, value) && accepts(value)) {
            return value;
        }
        clearPromptLine(40 - row);
    }
}
