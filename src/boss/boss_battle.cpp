#include "boss/boss.hpp"

// Placeholder until the boss battle lands: the boss is beaten at once.
int bossBattle(int) {
    return 1;
}
