#include <algorithm>
#include <array>
#include <cstddef>
#include <string>

#include "boss/boss.hpp"
#include "boss/boss_pictures.hpp"
#include "boss/exchange.hpp"
#include "console/console.hpp"
#include "console/random.hpp"
#include "console/screen.hpp"
#include "items/items.hpp"
#include "state/player_state.hpp"

namespace {

struct BossRecord {
    const char* appearance;
    int baseHp;
    int extraModeHp;  // added in extra mode
};

// Indexed by BossKind.
constexpr BossRecord kBosses[] = {
    {"ゴブリンが立ちはだかった", 30, 5},
    {"ウィザードが立ちはだかった", 60, 10},
    {"デーモンが立ちはだかった", 100, 20},
    {"エルフクイーンがたちはだかった", 250, 40},
};

// The two bosses a stage may bring, by the parity of one random value.
constexpr BossKind kStageBosses[kStageCount][2] = {
    {BossGoblin, BossWizard},  {BossGoblin, BossWizard},     {BossWizard, BossDemon},
    {BossDemon, BossElfQueen}, {BossElfQueen, BossElfQueen},
};

struct Greeting {
    int fromClears;
    int column;
    const char* text;
};

// The boss grows weary of a player who keeps coming back; the last row whose count is reached.
constexpr Greeting kGreetings[] = {
    {0, 8, "なんだ！ キサマは！！ 下等なニンゲンごときが我に刃向かうか！！"},
    {1, 8, "！！！ また来やがったな！ 今度は前の様にはいかぬぞ！！"},
    {5, 16, "・・・またキサマか！！なんの用だ！！"},
    {10, 16, "・・・もう勘弁してくれ・・・"},
};

constexpr const char* kCommandFrame[] = {
    "+----------------------------+", "|  <コマンド選択>            |",
    "+----------------------------|", "|    たたかう      まほう    |",
    "|    ぼうぎょ      ためる    |", "|    アイテム      にげる    |",
    "+----------------------------+",
};
constexpr int kFrameColumn = 24;
constexpr int kFrameRow = 31;

constexpr const char* kArrow = "→";
constexpr int kLeftColumn = 26;
constexpr int kRightColumn = 40;
constexpr int kTopRow = 34;
constexpr int kBottomRow = 36;

// The secret way out: ten keys ending in Enter. Its one key that is neither a cursor key nor
// Enter ('b') means something only here; every key of it also moves the cursor as usual.
constexpr std::array<int, 10> kHiddenSequence = {
    kKeyUp, kKeyUp, kKeyDown, kKeyDown, kKeyLeft, kKeyRight, kKeyLeft, kKeyRight, 'b', kKeyEnter,
};

// The picture band that the message box covers.
constexpr int kBandTop = 16;
constexpr int kBandBottom = 24;

constexpr const char* kFleeText = "しっぽをまいて、にげだした・・・・なさけないっ (((;＞＜)";
constexpr const char* kHiddenTexts[] = {
    "裏技を使った！！ 天空より光の剣が敵に降り注ぐ！！",
    "敵のHPを一気に削りきり、気絶させた！",
    "※注意：裏技の乱用はオススメしません",
};
constexpr const char* kVictoryText = "ステージボスを撃破した！！";
constexpr int kMessageColumn = 16;
constexpr int kMessageRows[] = {18, 20, 22};

int pictureLeft(const BossPicture& picture) {
    return (79 - picture.columns) / 2;
}
int pictureTop(const BossPicture& picture) {
    return (38 - picture.rows) / 2;
}

BossKind chooseBoss(int stage) {
    seedRandomFromClock();
    if (stage == kStageCount) {
        return BossElfQueen;
    }
    return kStageBosses[stage - 1][nextRandom() % 2];
}

// extraMode comes from the save file and may hold any value: every non-zero value counts as
// extra mode, so the HP stays within the four bosses' range.
int bossMaxHp(BossKind boss) {
    const BossRecord& record = kBosses[boss];
    return record.baseHp + (player.extraMode != 0 ? record.extraModeHp : 0);
}

const Greeting& greetingFor(int clears) {
    const Greeting* chosen = &kGreetings[0];
    for (const Greeting& greeting : kGreetings) {
        if (clears >= greeting.fromClears) {
            chosen = &greeting;
        }
    }
    return *chosen;
}

void printAt(int column, int row, const char* text) {
    moveCursor(column, row);
    printPlain(text);
}

void printSpaces(int column, int row, int count) {
    moveCursor(column, row);
    printPlain(std::string(static_cast<std::size_t>(count), ' '));
}

void drawPicture(const BossPicture& picture) {
    for (int i = 0; i < picture.rows; ++i) {
        printAt(pictureLeft(picture), pictureTop(picture) + i, picture.lines[i]);
    }
}

// Puts back the picture lines that belong on the rows the message box covered.
void restoreBand(const BossPicture& picture) {
    const int left = pictureLeft(picture);
    const int top = pictureTop(picture);
    for (int row = kBandTop; row <= kBandBottom; ++row) {
        printSpaces(1, row, 79);
        const int line = row - top;
        if (line >= 0 && line < picture.rows) {
            printAt(left, row, picture.lines[line]);
        }
    }
}

void showGreeting(const BossPicture& picture, int clears) {
    sleepMs(2000);
    printSpaces(24, 1, 32);
    const Greeting& greeting = greetingFor(clears);
    const int row = pictureTop(picture) + picture.rows + 2;
    printAt(greeting.column, row, greeting.text);
    sleepMs(2000);
    moveCursor(1, row);
    deleteLine();
    deleteLine();
}

// The HP lines and the command frame with the arrow on たたかう.
void drawTurnScreen(const BattleState& state) {
    printSpaces(16, 1, 38);
    moveCursor(16, 1);
    printText("  ボスのHP  %d / %d", state.bossHp, state.maxHp);
    for (int i = 0; i < 5; ++i) {
        clearPromptLine(9);
    }
    for (int j = 0; j < 7; ++j) {
        printAt(kFrameColumn, kFrameRow + j, kCommandFrame[j]);
    }
    printAt(kLeftColumn, kTopRow, kArrow);
    printSpaces(16, 39, 38);
    moveCursor(16, 39);
    printText("あなたのHP  %d / %d", state.playerHp, state.maxHp);
    moveCursor(kLeftColumn, kTopRow);
}

bool isRecognisedKey(int key) {
    return std::find(kHiddenSequence.begin(), kHiddenSequence.end(), key) != kHiddenSequence.end();
}

int commandAt(int column, int row) {
    return (row - kTopRow) * 2 + (column == kLeftColumn ? 1 : 2);
}

// Moves the arrow with the cursor keys until Enter; the command under it, or the hidden one.
int readCommand() {
    int column = kLeftColumn;
    int row = kTopRow;
    std::size_t progress = 0;
    for (;;) {
        const int key = readKey();
        // The prefix code of a cursor key, and every key the battle does not know, change nothing.
        if (!isRecognisedKey(key)) {
            continue;
        }
        progress = key == kHiddenSequence[progress] ? progress + 1 : 0;
        if (key == kKeyEnter) {
            return progress == kHiddenSequence.size() ? CommandHidden : commandAt(column, row);
        }
        int newColumn = column;
        int newRow = row;
        if (key == kKeyUp) {
            newRow = row == kTopRow ? kBottomRow : row - 1;
        } else if (key == kKeyDown) {
            newRow = row == kBottomRow ? kTopRow : row + 1;
        } else if (key == kKeyLeft || key == kKeyRight) {
            newColumn = column == kLeftColumn ? kRightColumn : kLeftColumn;
        } else {
            continue;
        }
        printAt(column, row, "  ");
        printAt(newColumn, newRow, kArrow);
        column = newColumn;
        row = newRow;
        moveCursor(column, row);
    }
}

void drawMessageBox() {
    for (int row = kBandTop; row <= kBandBottom; ++row) {
        moveCursor(1, row);
        printPlain(std::string(79, row == kBandTop || row == kBandBottom ? '*' : ' '));
    }
}

void printMessageLines(const char* const (&lines)[3]) {
    for (int i = 0; i < 3; ++i) {
        printAt(kMessageColumn, kMessageRows[i], lines[i]);
    }
}

void playVictory(const BossPicture& picture) {
    for (int i = 0; i < 5; ++i) {
        clearScreen();
        sleepMs(50);
        drawPicture(picture);
        sleepMs(50);
    }
    for (int i = 0; i < picture.rows; ++i) {
        printSpaces(pictureLeft(picture), pictureTop(picture) + i, 80);
        sleepMs(100);
    }
    drawMessageBox();
    sleepMs(100);
    printAt(kMessageColumn, 20, kVictoryText);
    waitKeyAt(1, 40);
}

}  // namespace

int bossBattle(int stage) {
    stage = std::clamp(stage, 1, kStageCount);
    const BossKind boss = chooseBoss(stage);
    const BossPicture& picture = bossPicture(boss);
    waitKey();
    clearScreen();

    printAt(24, 1, kBosses[boss].appearance);
    const int maxHp = bossMaxHp(boss);
    BattleState state{maxHp, maxHp, maxHp, 1, 1};
    drawPicture(picture);
    showGreeting(picture, player.stageClears[stage - 1]);

    bool bandRestorePending = false;
    for (;;) {
        if (bandRestorePending) {
            restoreBand(picture);
        }
        drawTurnScreen(state);
        const int command = readCommand();
        seedRandomFromClock();
        const int enemyAction = nextRandom() % 4 + 1;
        drawMessageBox();
        sleepMs(600);

        if (command <= CommandCharge) {
            const ExchangeLines lines = resolveExchange(state, command, enemyAction);
            printMessageLines({lines[0], lines[1], lines[2]});
            bandRestorePending = true;
        } else if (command == CommandItem) {
            // The boss waits while the player rummages in the bag.
            applyItemHeal(state, inventoryScreen(UseContext::BossBattle));
            clearScreen();
            drawPicture(picture);
        } else if (command == CommandFlee) {
            printAt(kMessageColumn, 20, kFleeText);
        } else {
            printMessageLines(kHiddenTexts);
            state.bossHp = 0;
        }
        waitKey();

        if (state.playerHp <= 0 || command == CommandFlee) {
            return 0;
        }
        if (state.bossHp <= 0) {
            state.bossHp = 0;
            // As at the start of a turn: the band comes back only once an exchange was fought.
            if (bandRestorePending) {
                restoreBand(picture);
            }
            drawTurnScreen(state);
            // Long enough to see the boss's HP reach 0 before the picture starts to flash.
            sleepMs(1000);
            playVictory(picture);
            return 1;
        }
    }
}
