#pragma once
// The saved game as the 108 bytes of save.bin: 27 little-endian signed 32-bit values, no
// header. Pure conversions, so that the loader can be tried on any bytes.
#include <array>
#include <cstddef>
#include <cstdint>

#include "state/item_table.hpp"
#include "state/player_state.hpp"

inline constexpr std::size_t kSaveRecordSize = 108;

// The stored values, declared in the order they stand in the file.
struct SaveRecord {
    std::int32_t reserved;
    std::int32_t cardMove;
    std::int32_t coin;
    std::int32_t exp;
    std::int32_t life;
    std::int32_t extraMode;
    std::int32_t level;
    std::int32_t maxLifeUnits;
    std::int32_t highestStage;
    std::int32_t moveEffect;
    std::int32_t moveEffectTurns;
    std::int32_t stageClears[kStageCount];
    std::int32_t itemCounts[kItemCount];
};

using SaveBytes = std::array<unsigned char, kSaveRecordSize>;

// The record of the current game: the player state and the owned item counts.
SaveRecord captureSaveRecord();
SaveBytes encodeSaveRecord(const SaveRecord& record);
// False when there are fewer than 108 bytes; bytes after the first 108 are ignored.
bool decodeSaveRecord(const unsigned char* bytes, std::size_t size, SaveRecord& record);
// Replaces the saved part of the game with the record, bringing into range what the game
// itself never stores (see the comment in the source).
void applySaveRecord(const SaveRecord& record);
