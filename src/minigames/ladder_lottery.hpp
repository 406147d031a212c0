#pragma once
// The path rule of the ladder lottery, apart from its pages.
#include <array>

inline constexpr int kLadderLines = 6;
inline constexpr int kRungSlots = 17;

// 1 where slot k (0 the lowest) holds a rung, 0 where not.
using Rungs = std::array<int, kRungSlots>;

// The left one of the two neighbouring lines that slot k joins.
int rungLeftLine(int slot);

// The line at the top whose path down the ladder ends at the hit line.
int ladderAnswer(int hitLine, const Rungs& rungs);
