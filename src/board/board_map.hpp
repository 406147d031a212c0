#pragma once
// Reading a stage's map file: width, height, goal number, start value, then height x width
// cells row by row (0 = no square).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Larger maps cannot be meant for an 80-column console; refusing them keeps a damaged file
// from asking for unbounded memory.
inline constexpr int kMaxMapSide = 200;
// The largest such map, every cell an 11-character number, takes half a megabyte; a file much
// larger than that is no map, and is not read into memory.
inline constexpr std::size_t kMaxMapFileBytes = 4 * 1024 * 1024;

struct BoardMap {
    int width = 0;
    int height = 0;
    int goal = 0;
    int start = 0;
    std::vector<std::int32_t> cells;  // height rows of width cells

    std::int32_t cell(int row, int column) const {
        return cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
                     static_cast<std::size_t>(column)];
    }
};

// The file name of a stage's map, "map01.txt" to "map20.txt"; empty outside 1 to 20.
const char* mapFileName(int stage);

// Reads the map file at path. A file that ends early reads its missing numbers as 0. Returns
// false with a short description of the problem when the file cannot be read (or is not a
// regular file, or is larger than kMaxMapFileBytes), holds text that is not a 32-bit number,
// or gives a width or height outside 1 to kMaxMapSide.
bool readBoardMap(const std::string& path, BoardMap& map, std::string& problem);
