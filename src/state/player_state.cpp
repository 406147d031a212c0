#include "state/player_state.hpp"

#include "state/item_table.hpp"

PlayerState player{};

void applyNewGameDefaults() {
    player = PlayerState{};
    player.life = 5;
    player.coin = 0;
    player.highestStage = 1;
    player.stageCount = kStageCount;
    player.maxLifeUnits = 1;
    player.exp = 0;
    player.level = 1;
    for (ItemRecord& item : itemTable) {
        item.count = 0;
        item.listNumber = 0;
    }
}
