#include "state/battle_result.hpp"

#include <algorithm>
#include <cstdint>

#include "console/console.hpp"
#include "console/screen.hpp"
#include "state/player_state.hpp"

namespace {

void showStatusLine() {
    moveCursor(8, 10);
    printStatusLine();
}

// Loaded saves can hold any 32-bit values, so sums are taken in 64 bits and brought back.
std::int32_t clampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

int applyLoss(int lifeDelta, int coinDelta) {
    printText("このBattleでの結果 :  LIFE -%d  , COIN -%d", lifeDelta, coinDelta);
    waitKey();
    if (lifeDelta >= player.life) {
        player.life = 0;
        showStatusLine();
        waitKey();
        moveCursor(8, 20);
        printText("なんと！  ライフが 0 になってしまった !");
        clearToEndOfLine();  // it replaces the longer result line
        waitKey();
        moveCursor(8, 22);
        printText("意識を失い、モンスターからタコ殴りにされてしまった");
        waitKey();
        moveCursor(8, 24);
        printText("これ以上  ゲームを続けることができません");
        waitKey();
        return 0;
    }
    player.life = clampToInt32(std::int64_t{player.life} - lifeDelta);
    player.coin =
        coinDelta >= player.coin ? 0 : clampToInt32(std::int64_t{player.coin} - coinDelta);
    return 1;
}

int applyWin(int lifeDelta, int coinDelta, int expGain, int outcome) {
    printText("このBattleでの結果 :  LIFE +%d  , COIN +%d , 経験値 +%d", lifeDelta, coinDelta,
              expGain);
    const std::int64_t most = std::int64_t{5} * player.maxLifeUnits;
    player.life = clampToInt32(std::min(std::int64_t{player.life} + lifeDelta, most));

    const std::int64_t total = std::int64_t{player.coin} + std::int64_t{coinDelta} * outcome;
    if (total >= kCoinLimit) {
        player.coin = kCoinLimit;
        moveCursor(8, 22);
        printText("COINは 99999G 以上 持てません");
        waitKey();
    } else {
        player.coin = clampToInt32(total);
    }

    // At most one level per result; the surplus experience is dropped.
    if (std::int64_t{player.exp} + expGain >= 100) {
        player.exp = 0;
        if (player.level < INT32_MAX) {
            ++player.level;
        }
        moveCursor(8, 24);
        printText("～♪ レベルが %d に上がった ♪～", player.level);
        waitKey();
    } else {
        player.exp = clampToInt32(std::int64_t{player.exp} + expGain);
    }
    return outcome;
}

}  // namespace

int applyBattleResult(int lifeDelta, int coinDelta, int expGain, int outcome) {
    clearScreen();
    showStatusLine();
    moveCursor(8, 20);
    const int result = outcome <= 0 ? applyLoss(lifeDelta, coinDelta)
                                    : applyWin(lifeDelta, coinDelta, expGain, outcome);
    if (result == 0) {
        return 0;
    }
    showStatusLine();
    waitKey();
    return result;
}
