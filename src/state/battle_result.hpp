#pragma once
// Shows a square event's outcome on its own page and applies it to the player state.

// What a square event hands over: LIFE gained or lost, COIN gained (credited times outcome)
// or lost, experience gained on a win, and the outcome (0 = loss, 1 or more = win).
struct BattleResult {
    int lifeDelta;
    int coinDelta;
    int expGain;
    int outcome;
};

// Returns the outcome after a win, 1 after a loss the player survives, 0 on game over.
int applyBattleResult(int lifeDelta, int coinDelta, int expGain, int outcome);
