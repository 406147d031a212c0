#include "minigames/minigames.hpp"

// Placeholder until the game lands: counts as lost.
int playBigOrSmall() {
    return 0;
}
