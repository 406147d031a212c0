#include "minigames/minigames.hpp"

// Placeholder until the timing games land.
void freePlayMenu() {}
