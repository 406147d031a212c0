#include "console/screen_grid.hpp"

#include <algorithm>

ScreenGrid::ScreenGrid(int columnCount, int rowCount)
    : columns(columnCount), rows(rowCount), cells(static_cast<size_t>(columnCount * rowCount)) {}

ScreenCell& ScreenGrid::cell(int cellColumn, int cellRow) {
    return cells[static_cast<size_t>((cellRow - 1) * columns + (cellColumn - 1))];
}

const ScreenCell& ScreenGrid::at(int cellColumn, int cellRow) const {
    return cells[static_cast<size_t>((cellRow - 1) * columns + (cellColumn - 1))];
}

void ScreenGrid::clear() {
    for (ScreenCell& c : cells) {
        c = ScreenCell{};
    }
    column = 1;
    row = 1;
}

void ScreenGrid::moveTo(int newColumn, int newRow) {
    if (newColumn >= 1 && newColumn <= columns && newRow >= 1 && newRow <= rows) {
        column = newColumn;
        row = newRow;
    }
}

// Writing over half of a two-column character blanks its other half, as terminals do.
void ScreenGrid::blankCell(int cellColumn, int cellRow) {
    ScreenCell& c = cell(cellColumn, cellRow);
    if (c.continuation && cellColumn > 1) {
        cell(cellColumn - 1, cellRow) = ScreenCell{};
    } else if (!c.continuation && cellColumn < columns &&
               cell(cellColumn + 1, cellRow).continuation) {
        cell(cellColumn + 1, cellRow) = ScreenCell{};
    }
    c = ScreenCell{};
}

void ScreenGrid::put(std::string_view glyph, int width) {
    if (width > columns) {
        return;
    }
    if (column + width - 1 > columns) {
        carriageReturn();
        lineFeed();
    }
    blankCell(column, row);
    if (width == 2) {
        blankCell(column + 1, row);
    }
    cell(column, row).glyph = std::string(glyph);
    if (width == 2) {
        cell(column + 1, row).continuation = true;
    }
    column += width;
}

void ScreenGrid::carriageReturn() {
    column = 1;
}

void ScreenGrid::scrollUp() {
    cells.erase(cells.begin(), cells.begin() + columns);
    cells.resize(static_cast<size_t>(columns * rows));
}

void ScreenGrid::lineFeed() {
    if (column > columns) {
        column = columns;
    }
    if (row == rows) {
        scrollUp();
    } else {
        ++row;
    }
}

void ScreenGrid::deleteLine() {
    const auto first = cells.begin() + (row - 1) * columns;
    cells.erase(first, first + columns);
    cells.resize(static_cast<size_t>(columns * rows));
}

void ScreenGrid::eraseToEndOfLine() {
    for (int c = std::min(column, columns); c <= columns; ++c) {
        blankCell(c, row);
    }
}

std::string ScreenGrid::rowText(int textRow) const {
    return textAt(1, textRow, columns);
}

std::string ScreenGrid::textAt(int cellColumn, int textRow, int length) const {
    std::string text;
    for (int c = cellColumn; c < cellColumn + length && c <= columns; ++c) {
        const ScreenCell& sc = at(c, textRow);
        if (sc.continuation) {
            continue;
        }
        text += sc.glyph.empty() ? std::string(" ") : sc.glyph;
    }
    return text;
}
