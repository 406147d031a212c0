#pragma once
// Shows a square event's outcome on its own page and applies it to the player state.
// Returns the outcome after a win, 1 after a loss the player survives, 0 on game over.
int applyBattleResult(int lifeDelta, int coinDelta, int expGain, int outcome);
