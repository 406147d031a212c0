#include "minigames/minigames.hpp"

// Placeholder until the game lands: counts as lost.
int playLadderLottery(int) {
    return 0;
}
