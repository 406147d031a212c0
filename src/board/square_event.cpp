#include "board/square_event.hpp"

#include <algorithm>
#include <cstdint>

#include "board/board.hpp"
#include "console/console.hpp"
#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "state/battle_result.hpp"
#include "state/player_state.hpp"

namespace {

enum class Game {
    Batting,
    Bingo99,
    Bingo50,
    Bingo25,
    Ladder1,
    Ladder2,
    HighAndLow,
    BigOrSmall,
    Sprint,
    Shooting
};

// Rolls 4 to 19, in order.
constexpr Game kGameForRoll[16] = {
    Game::Batting,    Game::Batting,    Game::Bingo99,    Game::Bingo50,
    Game::Bingo25,    Game::Bingo25,    Game::Ladder1,    Game::Ladder2,
    Game::HighAndLow, Game::HighAndLow, Game::BigOrSmall, Game::BigOrSmall,
    Game::Sprint,     Game::Sprint,     Game::Shooting,   Game::Shooting,
};

int playGame(Game game) {
    switch (game) {
        case Game::Batting:
            return playBatting();
        case Game::Bingo99:
            return playBingo(99);
        case Game::Bingo50:
            return playBingo(50);
        case Game::Bingo25:
            return playBingo(25);
        case Game::Ladder1:
            return playLadderLottery(1);
        case Game::Ladder2:
            return playLadderLottery(2);
        case Game::HighAndLow:
            return playHighAndLow();
        case Game::BigOrSmall:
            return playBigOrSmall();
        case Game::Sprint:
            return playSprint();
        case Game::Shooting:
            return playShooting();
    }
    return 0;
}

// Amounts stay far below 32 bits for the results the games return; the clamp only guards
// against a game that someday returns more.
int bounded(std::int64_t amount) {
    return static_cast<int>(std::clamp<std::int64_t>(amount, 0, INT32_MAX));
}

void trap(int s) {
    printText("\n");
    printText("          うわっ！！ トラップだ!!   \n");
    printText("\n");
    printText("          ライフが %d 減ってしまった ! \n\n", s);
    printText("          これは痛い！！               \n");
    printText("\n");
    waitKey();
    applyBattleResult(s, 0, 0, 0);
}

void lostWallet(int s) {
    printText("\n");
    printText("          何だかサイフが軽くなった気がする・・・   \n");
    printText("\n");
    printText("          なんとサイフに穴があいている !! 最悪だ ! \n");
    printText("\n");
    const int loss = (150 / (nextRandom() % 10 + 1)) * s;
    if (player.coin == 0) {
        printText("          ・・・と思ったが、元からCOINなど、もっていなかった・・・ \n");
        printText("          不幸中の幸い、とポジティブに捉えて、がんばろう           \n");
    } else if (std::int64_t{player.coin} - loss <= 0) {
        printText("          %d G 落としたみたいだ・・・              \n", player.coin);
        printText("          なけなしの全財産を落としてしまうなんて・・・ \n");
    } else {
        printText("          %d G 落としたみたいだ・・・              \n", loss);
    }
    printText("\n");
    waitKey();
    applyBattleResult(0, loss, 0, 0);
}

void fountain(int s) {
    printText("\n");
    printText("          回復の泉を発見した!!   \n");
    printText("\n");
    const std::int64_t most = std::int64_t{5} * player.maxLifeUnits;
    if (player.life >= most) {
        player.life = static_cast<std::int32_t>(most);
        printText("          残念 ! ライフは最大だ ! \n");
    } else if (s >= most - player.life) {
        printText("          ライフが %d 回復した ! \n", static_cast<int>(most - player.life));
        printText("          ライフが最大値まで回復した\n");
    } else {
        printText("          ライフが %d 回復した ! \n", s);
    }
    printText("\n");
    waitKey();
    applyBattleResult(s, 0, 0, 1);
}

void foundCoins(int s) {
    printText("\n");
    printText("          地面に何か光るものを発見した!!   \n");
    printText("\n");
    const int gain = (1500 / (nextRandom() % 5 + 1)) * s;
    printText("          %d G 拾った!!   ラッキー♪       \n", gain);
    printText("\n");
    waitKey();
    applyBattleResult(0, gain, 0, 1);
}

}  // namespace

int miniGameExperience(int stage) {
    // A damaged save could hold level 0; it counts as level 1 here rather than divide by zero.
    const int level = std::max(player.level, 1);
    int gain = 10 * stage / level;
    if (stage < level && stage < player.highestStage) {
        gain /= 2;
    }
    return gain;
}

BattleResult miniGameReward(int roll, int stage, int result) {
    const std::int64_t s = stage;
    const std::int64_t r = result;
    std::int64_t winLife = 0, winCoin = 0, lossLife = 0, lossCoin = 0;
    switch (kGameForRoll[std::clamp(roll, 4, 19) - 4]) {
        case Game::Batting:
            winLife = (r / 4 + 1) * s, winCoin = s * r * 150;
            lossLife = s / 3 + 1, lossCoin = s * 150 / 3;
            break;
        case Game::Bingo99:
            winLife = s * r + 2, winCoin = s * r * 2250;
            lossLife = s / 5 + 1, lossCoin = s * 150 / 10;
            break;
        case Game::Bingo50:
            winLife = s * r + 1, winCoin = s * r * 1050;
            lossLife = s / 4 + 1, lossCoin = s * 150 / 8;
            break;
        case Game::Bingo25:
            winLife = s * r, winCoin = s * r * 300;
            lossLife = s / 3 + 1, lossCoin = s * 150 / 6;
            break;
        case Game::Ladder1:
            winLife = s / 4 + 1, winCoin = s * 750;
            lossLife = s / 4 + 1, lossCoin = s * 150 / 5;
            break;
        case Game::Ladder2:
            winLife = s / 2 + 1, winCoin = s * 450;
            lossLife = s / 2 + 1, lossCoin = s * 150 / 3;
            break;
        case Game::HighAndLow:
            winLife = s, winCoin = s * 150;
            lossLife = s, lossCoin = s * 150;
            break;
        case Game::BigOrSmall:
        case Game::Sprint:
        case Game::Shooting:
            winLife = s * r / 2, winCoin = s * r * 150;
            lossLife = s, lossCoin = s * 150;
            break;
    }
    if (result >= 1) {
        return {bounded(winLife), bounded(winCoin), miniGameExperience(stage), result};
    }
    return {bounded(lossLife), bounded(lossCoin), 0, 0};
}

int squareEvent(int stage) {
    seedRandomFromClock();
    const int roll = nextRandom() % 20;
    if (roll <= 3) {
        moveCursor(1, 15);
        switch (roll) {
            case 0:
                trap(stage);
                break;
            case 1:
                lostWallet(stage);
                break;
            case 2:
                fountain(stage);
                break;
            default:
                foundCoins(stage);
                break;
        }
        return player.life;
    }
    const int result = playGame(kGameForRoll[roll - 4]);
    waitKey();
    const BattleResult reward = miniGameReward(roll, stage, result);
    if (applyBattleResult(reward.lifeDelta, reward.coinDelta, reward.expGain, reward.outcome) ==
        0) {
        return 0;
    }
    return player.life;
}
