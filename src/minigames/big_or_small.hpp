#pragma once
// The betting rules of big-or-small, apart from its pages.

inline constexpr int kBetCount = 20;

// What bet 1 to 20 returns for the three dice: its multiplier, or 0 when it lost.
int evaluateBet(int bet, int d1, int d2, int d3);
