#include <algorithm>
#include <cstdint>
#include <string>

#include "board/board.hpp"
#include "boss/boss.hpp"
#include "console/console.hpp"
#include "console/pictures.hpp"
#include "console/random.hpp"
#include "console/screen.hpp"
#include "items/items.hpp"
#include "state/player_state.hpp"

namespace {

struct StageTitle {
    const char* title;
    const char* name;
};

const StageTitle kStageTitles[kStageCount] = {
    {"STAGE 1", "～ 水の神殿 パルテリアウルム ～"},
    {"STAGE 2", "～ 呪われた森 ガ・ザウム ～"},
    {"STAGE 3", "～ 火山洞窟 ボルケルトルネス ～"},
    {"STAGE 4", "～ 死者の住まう沼 ベルドファルネア ～"},
    {"STAGE 5", "～ 魔王城 ガ・パルデモニルム ～"},
};

const char* const kHelpPages[2][12] = {
    {
        "◇  世界観  ◇",
        "はるか昔、千年前。それまで人類は大陸全土を支配していた。",
        "しかしある日突然、世界に魔物達が次々と出現し、人類に牙をむいた。",
        "人類は必至に抵抗するも、力でかなわない人類は、知恵で戦いを挑み",
        "大地の支配権をかけて、魔物達と激しい争いが行われていた。。。",
        "永き戦いは、しだいに人類を疲弊させ、ついには殆どの支配権を",
        "魔物達に、うばわれてしまった。。。",
        "支配する力を失ったこの世界の人類は、残された知恵を集結し、",
        "ついに、異世界より魔物と戦える力を持った人間を召喚する事に成功した。",
        "・・・召喚された人間・・・つまり、そう、あなた自身。",
        "残された人類の希望のカギ。人類がその手に大地を取り戻す為、",
        "魔物達が支配する大地に足を踏み入れる。。。",
    },
    {
        "◇  ゲームの進め方  ◇",
        "1. 各ステージを、スタート地点(S)からダイスを振って出た目の数だけ進む。",
        "2. 止まったマスではイベントが発生する。ミニゲームが発生した場合は",
        "   ゲームに勝利すればコインや経験値などが手に入ります。",
        "   ライフが減っている場合は、ライフも回復します。",
        "3. マップをゴール地点(G)まで進み、ステージを支配するボスモンスターと",
        "   ゲームで勝負し、ボスのライフを削りきれば、あなたの勝利です。",
        "4. ボスを倒し、レベルが一定以上あれば次のエリアの情報が手に入り、",
        "   次のステージに挑戦することができます。",
        "5. あなたのライフが0になってしまった場合はゲームオーバーです。",
        "6. 獲得したコインを使いショップでアイテムを購入し、ゲームを有利に",
        "   進めましょう。",
    },
};

// The board with the status line under it, the cursor left on the prompt row.
int showBoard(int stage, std::int64_t position) {
    clearScreen();
    // Only a move past a goal near the highest 32-bit number leaves that range.
    const int goal = drawBoard(
        stage, static_cast<int>(std::clamp<std::int64_t>(position, INT32_MIN, INT32_MAX)));
    moveCursor(8, 38);
    printStatusLine();
    moveCursor(1, 40);
    return goal;
}

void showStageTitle(int stage) {
    clearScreen();
    if (stage < 1 || stage > kStageCount) {
        return;
    }
    moveCursor(24, 13);
    printPlain(kStageTitles[stage - 1].title);
    sleepMs(1000);
    moveCursor(16, 26);
    printPlain(kStageTitles[stage - 1].name);
    sleepMs(1000);
}

void showHelpPages() {
    for (const auto& page : kHelpPages) {
        clearScreen();
        drawFrame();
        for (int j = 0; j < 12; ++j) {
            moveCursor(8, 2 * j + 4);
            printPlain(page[j]);
        }
        waitKeyAt(1, 40);
    }
}

int askTurn() {
    const bool cards = player.cardMove == 1;
    std::string prompt = "  1.ダイスを振る";
    if (cards) {
        prompt += "  2.カードを引く";
    }
    prompt += "  0.アイテムを使う  >> ";
    return promptNumber(40, prompt.c_str(), [&](int choice) {
        return choice == 0 || choice == 1 || (cards && choice == 2);
    });
}

int rollDie() {
    clearScreen();
    int face = 0;
    if (player.moveEffect == MoveEffectThree || player.moveEffect == MoveEffectSix) {
        face = player.moveEffect == MoveEffectThree ? 3 : 6;
        --player.moveEffectTurns;
        // "Or less" so that a save holding no turns cannot keep the effect forever.
        if (player.moveEffectTurns <= 0) {
            player.moveEffectTurns = 0;
            player.moveEffect = MoveEffectNone;
        }
    } else {
        face = nextRandom() % 6 + 1;
    }
    return drawDieFace(35, 17, face);
}

int drawMoveCard() {
    clearScreen();
    seedRandomFromClock();
    const int suit = nextRandom() % 4;
    const int value = nextRandom() % 13 + 1;
    drawCard(33, 15, suit, value);
    return value;
}

}  // namespace

int playStage(int stage) {
    showStageTitle(stage);
    // Kept in 64 bits: the goal comes from the map file and may lie anywhere in 32 bits.
    std::int64_t position = 0;
    const int goal = showBoard(stage, position);
    waitKey();

    while (promptNumberFrom(40, "シナリオおよびルールの説明が必要ですか？  No:0  Yes:1 >> ",
                            {0, 1}) == 1) {
        showHelpPages();
        showBoard(stage, position);
    }

    // Turns go on until the boss is beaten or the game is over; the first is always played, so
    // a goal at or before the start still meets the boss.
    for (;;) {
        clearPromptLine(0);
        int choice = askTurn();
        while (choice == 0) {
            inventoryScreen(UseContext::StageTurn);
            showBoard(stage, position);
            choice = askTurn();
        }
        position += choice == 1 ? rollDie() : drawMoveCard();
        waitKey();
        showBoard(stage, position);
        waitKey();

        if (position < goal) {
            moveCursor(1, 40);
            printText("止まったマスのイベントが発生しました!");
            waitKey();
            clearScreen();
            const int life = squareEvent(stage);
            waitKey();
            showBoard(stage, position);
            waitKey();
            if (life == 0) {
                return 0;
            }
        } else if (bossBattle(stage) != 0) {
            return 1;
        } else {
            clearScreen();
            moveCursor(8, 20);
            const int blowBack = nextRandom() % 10 + 1;
            printText("ボスの吹き飛び魔法により、%dマス戻された！", blowBack);
            // A goal nearer than the blow-back leaves the player on the start square, not
            // before it, where the board has no square to show and no event to play.
            position = goal > blowBack ? goal - blowBack : 0;
            waitKey();
        }
    }
}
