#pragma once
// The card and line rules of bingo, apart from its pages.
#include <array>

inline constexpr int kBingoCells = 25;
inline constexpr int kFreeCell = 12;
inline constexpr int kBingoBalls = 15;

// Cell 0 is the bottom-right corner, cell 24 the top-left; 0 marks a cell.
using BingoCard = std::array<int, kBingoCells>;

// Fills cells 0 to 24 (not the free centre) with different numbers from 1 to highest - 1,
// drawn from the generator as it stands.
BingoCard dealBingoCard(int highest);

// Whether a row, a column or a diagonal is marked all through.
bool hasBingoLine(const BingoCard& card);

// The game's result for a bingo on this ball (1 to 15), or 0 for none (ball 0).
int bingoResult(int bingoBall);
