#include "items/items.hpp"
#include "state/player_state.hpp"

namespace {

// Heals LIFE by the amount, never above the maximum; the boss battle gets the amount instead
// because it heals its own HP, not LIFE.
int heal(int amount, UseContext context) {
    if (context == UseContext::BossBattle) {
        return amount;
    }
    if (player.life >= maxLife() - amount) {
        player.life = maxLife();
    } else {
        player.life += amount;
    }
    return 0;
}

// A second die item before the first is spent replaces it; turns do not add up.
void setMoveEffect(MoveEffect effect) {
    player.moveEffect = effect;
    player.moveEffectTurns = 1;
}

}  // namespace

int applyItemEffect(int effectKind, UseContext context) {
    switch (effectKind) {
        case Heal3:
            return heal(3, context);
        case Heal7:
            return heal(7, context);
        case Heal15:
            return heal(15, context);
        case HealFull:
            if (context == UseContext::BossBattle) {
                return -1;  // a heal to the full
            }
            player.life = maxLife();
            return 0;
        case DieShowsThree:
            setMoveEffect(MoveEffectThree);
            return 0;
        case DieShowsSix:
            setMoveEffect(MoveEffectSix);
            return 0;
        default:
            return 0;  // the elixirs and the Map Trump act when bought
    }
}
