#pragma once
// The game's one random generator: a linear congruential generator, a pure function of its
// 32-bit state. 1 when the process starts; reseeded from the clock at fixed points of play.
#include <cstdint>

// 0 to 32767.
int nextRandom();
// Sets the state to the seed and drops one result.
void seedRandom(std::uint32_t seed);
// Seeds from the wall clock in whole seconds.
void seedRandomFromClock();

std::uint32_t randomState();
void setRandomState(std::uint32_t state);
