#pragma once
// The amounts a mini-game square hands to applyBattleResult, apart from the screens.
#include "state/battle_result.hpp"

// Experience for a won mini-game at the stage, smaller once the player has outgrown it.
int miniGameExperience(int stage);
// The amounts for a mini-game square (event roll 4 to 19) at the stage, given the game's result
// (0 = lost).
BattleResult miniGameReward(int roll, int stage, int result);
