#pragma once
// A grid of character cells with a cursor, changed the way a terminal changes its screen.
// The console keeps one as its picture of the page (cursor tracking, repaint after a resume);
// the tests' virtual terminal keeps one to show what the bytes drew.
#include <string>
#include <string_view>
#include <vector>

struct ScreenCell {
    std::string glyph;          // UTF-8 of one character; empty means blank
    bool continuation = false;  // the right half of a two-column character
};

struct ScreenGrid {
    int columns = 80;
    int rows = 41;
    int column = 1;  // 1-based; columns + 1 after text that ends in the last column
    int row = 1;
    std::vector<ScreenCell> cells;

    ScreenGrid(int columnCount = 80, int rowCount = 41);

    void clear();
    void moveTo(int newColumn, int newRow);
    // Puts one character of the given width at the cursor, wrapping first if it does not fit.
    void put(std::string_view glyph, int width);
    void carriageReturn();
    void lineFeed();  // scrolls at the bottom row
    void deleteLine();
    void eraseToEndOfLine();

    const ScreenCell& at(int cellColumn, int cellRow) const;
    // The row as text: two-column characters once, blanks as spaces, trailing blanks kept.
    std::string rowText(int textRow) const;
    // The text of `length` columns from (cellColumn, textRow).
    std::string textAt(int cellColumn, int textRow, int length) const;

  private:
    ScreenCell& cell(int cellColumn, int cellRow);
    void blankCell(int cellColumn, int cellRow);
    void scrollUp();
};
