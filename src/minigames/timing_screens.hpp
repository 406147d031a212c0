#pragma once
// Pieces the three timing games share: their countdown and their clock.
// "３秒前" at (column, row), then "２" and "１" over its first character a second apart, then
// "スタート！" a second later.
void showCountdown(int column, int row);

// Seconds and hundredths of a count of 10 ms ticks at the cursor: "%d.%2d", so the hundredths
// are padded with a blank.
void printTickClock(int ticks);
