#pragma once
// The deciding rule of High & Low, apart from its pages.

inline constexpr int kAnswerLow = 0;
inline constexpr int kAnswerHigh = 1;

// Whether the answer wins for the two card values; equal values win either way.
bool highLowWins(int answer, int firstValue, int secondValue);
