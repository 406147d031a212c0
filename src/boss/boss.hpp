#pragma once
// The boss battle at a stage's goal: 1 when the boss was beaten, 0 when lost or fled.
int bossBattle(int stage);
