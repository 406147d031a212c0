#pragma once
// Everything the game remembers between screens: one record for the whole process.
#include <cstdint>

// The die item waiting for the next die roll.
enum MoveEffect : std::int32_t { MoveEffectNone = 0, MoveEffectThree = 1, MoveEffectSix = 2 };

inline constexpr int kStageCount = 5;

struct PlayerState {
    std::int32_t life;
    std::int32_t coin;
    std::int32_t highestStage;
    std::int32_t stageCount;
    std::int32_t maxLifeUnits;  // maximum LIFE is 5 times this
    std::int32_t exp;
    std::int32_t level;
    std::int32_t extraMode;
    std::int32_t cardMove;
    std::int32_t stageClears[kStageCount];
    std::int32_t moveEffect;
    std::int32_t moveEffectTurns;
    std::int32_t reserved;
};

extern PlayerState player;

inline constexpr std::int32_t kCoinLimit = 99999;

// The values of a new game, item counts included; applied once at start-up.
void applyNewGameDefaults();

inline std::int32_t maxLife() {
    return 5 * player.maxLifeUnits;
}
