#include "minigames/minigames.hpp"

// Placeholder until the game lands: counts as lost.
int playShooting() {
    return 0;
}
