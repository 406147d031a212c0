#pragma once
// Clears the console, draws the stage's board from its map file (read anew every time) with
// the player's square, and returns the goal number. Ends the program if the map is unusable.
int drawBoard(int stage, int playerSquare);
// Plays one stage: 1 when the boss was beaten, 0 on game over.
int playStage(int stage);
// One random square event for the stage; returns LIFE after it (0 means game over).
int squareEvent(int stage);
