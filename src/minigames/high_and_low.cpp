#include "minigames/minigames.hpp"

// Placeholder until the game lands: counts as lost.
int playHighAndLow() {
    return 0;
}
