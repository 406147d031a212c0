#pragma once
// One exchange of the boss battle: the player's command against the boss's action.
#include <array>

// The player's commands, by the cursor position that selects them.
enum Command : int {
    CommandFight = 1,
    CommandMagic = 2,
    CommandDefend = 3,
    CommandCharge = 4,
    CommandItem = 5,
    CommandFlee = 6,
    CommandHidden = 10,
};

enum EnemyAction : int {
    EnemyAttack = 1,
    EnemyMagic = 2,
    EnemyDefend = 3,
    EnemyCharge = 4,
};

// The two sides of one battle. Both start with maxHp; a blow with regain may leave an HP above
// maxHp. A charge is 1, or 3 for the exchange after a side has charged.
struct BattleState {
    int maxHp;
    int bossHp;
    int playerHp;
    int playerCharge;
    int bossCharge;
};

// The three message lines an exchange prints.
using ExchangeLines = std::array<const char*, 3>;

// Resolves the player's command (CommandFight to CommandCharge) against the boss's action,
// drawing from nextRandom in a fixed order; changes both HPs and both charges.
ExchangeLines resolveExchange(BattleState& state, int command, int enemyAction);

// Heals the player's battle HP by an item's amount, -1 meaning in full; up to maxHp, but never
// below what the player has.
void applyItemHeal(BattleState& state, int amount);
