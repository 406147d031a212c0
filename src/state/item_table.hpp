#pragma once
// The eleven items of the catalogue. Only the owned counts change and are saved; the rest is
// fixed data. Kept with the player state because the save file stores the counts.
#include <cstdint>

enum EffectKind : std::int32_t {
    MaxLifeUp = 0,
    CardMoveUnlock = 1,
    Heal3 = 2,
    Heal7 = 3,
    Heal15 = 4,
    HealFull = 5,
    DieShowsThree = 8,
    DieShowsSix = 9,
};

struct ItemRecord {
    const char* name;
    std::int32_t price;
    std::int32_t count;
    std::int32_t effectKind;
    std::int32_t listNumber;  // number in the list on screen; 0 when not listed
};

inline constexpr int kItemCount = 11;
// Indexes 0 to 4 act when bought; 5 to 10 are used from the inventory.
inline constexpr int kFirstUsableItem = 5;
inline constexpr int kFirstDieItem = 9;
// The shop sells a usable item until the player owns this many, and a save holds no more.
inline constexpr int kUsableItemLimit = 10;

extern ItemRecord itemTable[kItemCount];

// The description of each effect kind, by its value; kinds 6 and 7 do not exist.
extern const char* const itemDescriptions[10];

void resetListNumbers();
// The index of the item shown under the number in the list on screen; -1 if none.
int itemWithListNumber(int listNumber);
