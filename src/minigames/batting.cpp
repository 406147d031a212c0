#include "minigames/minigames.hpp"

// Placeholder until the game lands: counts as lost.
int playBatting() {
    return 0;
}
