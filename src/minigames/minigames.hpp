#pragma once
// The seven mini-games. Each plays one whole game on its own pages, never touches the player
// state, and returns 0 for a loss, 1 or more for a win.
int playBigOrSmall();
int playHighAndLow();
int playSprint();
int playShooting();
int playBatting();
// One step of the batting ball's flight: the ball at column x on its row, with its trail.
void drawBattingBall(int x);
int playLadderLottery(int picks);
int playBingo(int highest);

// Replays any mini-game without stakes (extra mode only).
void freePlayMenu();
