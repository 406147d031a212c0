#include "board/board.hpp"

// Placeholder until the board stage lands: every stage counts as cleared.
int playStage(int) {
    return 1;
}
