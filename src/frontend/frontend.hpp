#pragma once
// The front end's screens; runGame (main_loop.hpp) ties them together.

// The start-up hint, with a warning when the window is too small; waits for a key.
void showStartupHint();
// The two credit pages, three seconds each.
void showCreditPages();
// The title page and its menu: 1 to play, 0 to quit.
int titleMenu();
// The closing lines; waits for a key.
void showClosingLines();
// The main menu until 0 is chosen.
void mainMenu();
// The stage selection until 0 is chosen; a game over ends the program from inside it.
void stageSelection();
// The unlock rule and the clear count after stage k was cleared; shows the stage-clear page.
void finishClearedStage(int stage);
