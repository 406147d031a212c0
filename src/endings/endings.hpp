#pragma once
void gameOverScreen();
void stageClearScreen(int newStageUnlocked, int alreadyCleared, int firstClear);
