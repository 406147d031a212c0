#pragma once
// Pieces the three timing games share: their rules page, their countdown and their clock.
#include <span>

// Clears the screen, draws the frame, prints the rules lines (the first at (24,5), the second
// at (16,7), line k from 2 on at (8, 2k + 10)) and waits for a key at (1,40).
void showTimingRules(std::span<const char* const> lines);

// "３秒前" at (column, row), then "２" and "１" over its first character a second apart, then
// "スタート！" a second later.
void showCountdown(int column, int row);

// Seconds and hundredths of a count of 10 ms ticks at the cursor: "%d.%2d", so the hundredths
// are padded with a blank.
void printTickClock(int ticks);
