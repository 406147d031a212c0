// The save loader on any bytes: decoding never reads past the input, and whatever it loads
// leaves the game in the ranges the rest of the game relies on.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "fuzz_check.hpp"
#include "state/item_table.hpp"
#include "state/player_state.hpp"
#include "state/save_record.hpp"

namespace {

bool inRange(std::int64_t value, std::int64_t low, std::int64_t high) {
    return value >= low && value <= high;
}

// Whether the game itself could have written the record; such a file must load unchanged.
bool writtenByTheGame(const SaveRecord& r) {
    bool fits = inRange(r.cardMove, 0, 1) && inRange(r.coin, 0, kCoinLimit) &&
                inRange(r.exp, 0, 99) && inRange(r.extraMode, 0, 1) && inRange(r.level, 1, 1000) &&
                inRange(r.maxLifeUnits, 1, 5) &&
                inRange(r.life, 1, 5 * std::int64_t{r.maxLifeUnits}) &&
                inRange(r.highestStage, 1, kStageCount + 1) && inRange(r.moveEffect, 0, 2) &&
                inRange(r.moveEffectTurns, 0, 1000);
    for (const std::int32_t clears : r.stageClears) {
        fits = fits && inRange(clears, 0, 1000);
    }
    for (int index = 0; index < kItemCount; ++index) {
        fits = fits && inRange(r.itemCounts[index], 0, index < kFirstUsableItem ? 1 : 10);
    }
    return fits;
}

void checkGameInRange() {
    check(inRange(player.maxLifeUnits, 1, 5));
    check(inRange(player.life, 1, maxLife()));  // at 0 the game would already be over
    check(inRange(player.coin, 0, kCoinLimit));
    check(inRange(player.exp, 0, 99));
    check(inRange(player.extraMode, 0, 1));
    check(inRange(player.cardMove, 0, 1));
    check(inRange(player.highestStage, 1, kStageCount + 1));
    check(inRange(player.moveEffect, 0, 2));
    check(player.stageCount == kStageCount);
    // Counters the game raises by one keep ample room below the 32-bit limit.
    check(inRange(player.level, 1, INT32_MAX / 2));
    check(inRange(player.moveEffectTurns, 0, INT32_MAX / 2));
    for (const std::int32_t clears : player.stageClears) {
        check(inRange(clears, 0, INT32_MAX / 2));
    }
    for (const ItemRecord& item : itemTable) {
        check(inRange(item.count, 0, 10));
        check(item.listNumber == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    applyNewGameDefaults();
    const SaveBytes before = encodeSaveRecord(captureSaveRecord());
    SaveRecord record{};
    if (!decodeSaveRecord(data, size, record)) {
        check(size < kSaveRecordSize);
        check(encodeSaveRecord(captureSaveRecord()) == before);  // a refused file changes nothing
        return 0;
    }
    applySaveRecord(record);
    checkGameInRange();
    const SaveBytes loaded = encodeSaveRecord(captureSaveRecord());
    if (writtenByTheGame(record)) {
        for (std::size_t i = 0; i < kSaveRecordSize; ++i) {
            check(loaded[i] == data[i]);
        }
    }
    // Saving what was loaded and loading it again changes nothing.
    SaveRecord again{};
    check(decodeSaveRecord(loaded.data(), loaded.size(), again));
    applySaveRecord(again);
    check(encodeSaveRecord(captureSaveRecord()) == loaded);
    return 0;
}
