#pragma once
// Pictures of the game's pages for the README: a page as the virtual terminal shows it, drawn
// as SVG cell by cell, so every character stands in its column as on a terminal.
#include <string>
#include <vector>

#include "console/screen_grid.hpp"

// The page as an SVG picture: a dark terminal, each run of characters placed at its cell and
// stretched to exactly its columns, a monospace font with Japanese fallbacks.
std::string renderPageSvg(const ScreenGrid& page, const std::string& title);

// The page the game shows after the keys were typed, each when the game asks for a key: the
// page at the game's next key wait. The game plays a new game with the shipped maps.
ScreenGrid pageAfterKeys(const std::vector<std::string>& keys);

// The README's pictures: file name, title, the keys that lead to the page, and a text the page
// must show at (column, row), so keys that no longer lead there are noticed.
struct ReadmePicture {
    const char* file;
    const char* title;
    std::vector<std::string> keys;
    int column;
    int row;
    const char* shows;
};
const std::vector<ReadmePicture>& readmePictures();

// The picture's page, or an empty string when the page does not show what it should.
std::string drawReadmePicture(const ReadmePicture& picture);
