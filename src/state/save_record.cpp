#include "state/save_record.hpp"

#include <algorithm>

namespace {

constexpr int kValueCount = static_cast<int>(kSaveRecordSize / 4);

// The fields of a record in file order.
std::array<std::int32_t*, kValueCount> valuesInFileOrder(SaveRecord& record) {
    std::array<std::int32_t*, kValueCount> values{};
    std::int32_t* const fixed[] = {
        &record.reserved,
        &record.cardMove,
        &record.coin,
        &record.exp,
        &record.life,
        &record.extraMode,
        &record.level,
        &record.maxLifeUnits,
        &record.highestStage,
        &record.moveEffect,
        &record.moveEffectTurns,
    };
    int next = 0;
    for (std::int32_t* value : fixed) {
        values[next++] = value;
    }
    for (std::int32_t& clears : record.stageClears) {
        values[next++] = &clears;
    }
    for (std::int32_t& count : record.itemCounts) {
        values[next++] = &count;
    }
    return values;
}

// Counters the game only ever raises by one (level, clears, die turns) stay this far below
// the 32-bit limit, so no later step can overflow; no real game comes near it.
constexpr std::int32_t kCounterLimit = 1'000'000'000;
constexpr std::int32_t kMaxLifeUnitsLimit = 5;  // one unit plus the four elixirs
constexpr std::int32_t kExpLimit = 99;

std::int32_t clampValue(std::int32_t value, std::int32_t low, std::int32_t high) {
    return std::clamp(value, low, high);
}

}  // namespace

SaveRecord captureSaveRecord() {
    SaveRecord record{};
    record.reserved = player.reserved;
    record.cardMove = player.cardMove;
    record.coin = player.coin;
    record.exp = player.exp;
    record.life = player.life;
    record.extraMode = player.extraMode;
    record.level = player.level;
    record.maxLifeUnits = player.maxLifeUnits;
    record.highestStage = player.highestStage;
    record.moveEffect = player.moveEffect;
    record.moveEffectTurns = player.moveEffectTurns;
    for (int stage = 0; stage < kStageCount; ++stage) {
        record.stageClears[stage] = player.stageClears[stage];
    }
    for (int index = 0; index < kItemCount; ++index) {
        record.itemCounts[index] = itemTable[index].count;
    }
    return record;
}

SaveBytes encodeSaveRecord(const SaveRecord& record) {
    SaveRecord copy = record;
    SaveBytes bytes{};
    std::size_t at = 0;
    for (const std::int32_t* value : valuesInFileOrder(copy)) {
        const auto bits = static_cast<std::uint32_t>(*value);
        for (int shift = 0; shift < 32; shift += 8) {
            bytes[at++] = static_cast<unsigned char>((bits >> shift) & 0xFFu);
        }
    }
    return bytes;
}

bool decodeSaveRecord(const unsigned char* bytes, std::size_t size, SaveRecord& record) {
    if (bytes == nullptr || size < kSaveRecordSize) {
        return false;
    }
    SaveRecord decoded{};
    std::size_t at = 0;
    for (std::int32_t* value : valuesInFileOrder(decoded)) {
        std::uint32_t bits = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            bits |= static_cast<std::uint32_t>(bytes[at++]) << shift;
        }
        *value = static_cast<std::int32_t>(bits);
    }
    record = decoded;
    return true;
}

// Every value the game itself can store loads unchanged. Anything else can only come from a
// file written elsewhere and is brought to the nearest value the game can handle, rather than
// refusing the file, so a hand-edited save still loads:
// - LIFE, COIN, experience, maximum-LIFE units, highest stage: clamped to their ranges
//   (LIFE after the maximum is known). LIFE is at least 1: a game never goes on at 0, and a
//   player loaded at 0 would be ended by the next coin find without being told why.
// - extra mode and card moves are switches: any non-zero value turns them on (1). A player who
//   set extra mode in the file gets the free-play entry, and the boss LIFE stays bounded.
// - A die effect other than 3 or 6 is dropped; level, stage clears and die turns are kept
//   between their lowest value and kCounterLimit.
// - Item counts: no negatives; at most 1 of each item that acts when bought, 10 of each
//   usable item, as the shop allows.
// - reserved is kept as it is; the game never reads it.
void applySaveRecord(const SaveRecord& record) {
    player.reserved = record.reserved;
    player.cardMove = record.cardMove != 0 ? 1 : 0;
    player.coin = clampValue(record.coin, 0, kCoinLimit);
    player.exp = clampValue(record.exp, 0, kExpLimit);
    player.extraMode = record.extraMode != 0 ? 1 : 0;
    player.level = clampValue(record.level, 1, kCounterLimit);
    player.maxLifeUnits = clampValue(record.maxLifeUnits, 1, kMaxLifeUnitsLimit);
    player.life = clampValue(record.life, 1, maxLife());
    player.highestStage = clampValue(record.highestStage, 1, kStageCount + 1);
    const bool knownEffect =
        record.moveEffect == MoveEffectThree || record.moveEffect == MoveEffectSix;
    player.moveEffect = knownEffect ? record.moveEffect : MoveEffectNone;
    player.moveEffectTurns = clampValue(record.moveEffectTurns, 0, kCounterLimit);
    for (int stage = 0; stage < kStageCount; ++stage) {
        player.stageClears[stage] = clampValue(record.stageClears[stage], 0, kCounterLimit);
    }
    for (int index = 0; index < kItemCount; ++index) {
        const std::int32_t limit = index < kFirstUsableItem ? 1 : kUsableItemLimit;
        itemTable[index].count = clampValue(record.itemCounts[index], 0, limit);
        itemTable[index].listNumber = 0;
    }
}
