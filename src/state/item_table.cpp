#include "state/item_table.hpp"

ItemRecord itemTable[kItemCount] = {
    {"マップトランプ", 50000, 0, CardMoveUnlock, 0},
    {"生命の秘薬1", 5000, 0, MaxLifeUp, 0},
    {"生命の秘薬2", 10000, 0, MaxLifeUp, 0},
    {"生命の秘薬3", 50000, 0, MaxLifeUp, 0},
    {"生命の秘薬4", 99999, 0, MaxLifeUp, 0},
    {"ライフポット3", 500, 0, Heal3, 0},
    {"ライフポット7", 1000, 0, Heal7, 0},
    {"ライフポット15", 5000, 0, Heal15, 0},
    {"ライフポットFULL", 10000, 0, HealFull, 0},
    {"のんびりダイス", 500, 0, DieShowsThree, 0},
    {"せっかちダイス", 3000, 0, DieShowsSix, 0},
};

const char* const itemDescriptions[10] = {
    "ライフの上限を 5 上昇させる事ができる",
    "マップ移動でカードを使用することが出来るようになる",
    "ライフを 3 回復する事が出来る",
    "ライフを 7 回復する事が出来る",
    "ライフを 15 回復する事が出来る",
    "ライフを 全回復する事が出来る",
    "",
    "",
    "ダイスを振ってマップを進む際の、ダイスの出目を3にする",
    "ダイスを振ってマップを進む際の、ダイスの出目を6にする",
};

int itemWithListNumber(int listNumber) {
    for (int index = 0; index < kItemCount; ++index) {
        if (itemTable[index].listNumber == listNumber) {
            return index;
        }
    }
    return -1;
}

void resetListNumbers() {
    for (ItemRecord& item : itemTable) {
        item.listNumber = 0;
    }
}
