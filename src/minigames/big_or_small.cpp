#include "minigames/big_or_small.hpp"

#include <array>

#include "console/console.hpp"
#include "console/pictures.hpp"
#include "console/random.hpp"
#include "console/screen.hpp"
#include "minigames/minigames.hpp"
#include "minigames/rules_page.hpp"

namespace {

constexpr std::array<PlacedText, 7> kRules{{
    {24, 7, "～ 大小 ～"},
    {8, 14, "ルール"},
    {8, 16, "・3つのサイコロの出目を予想するゲームです。"},
    {8, 18, "・ゲーム開始時、予想の一覧が表示されます。"},
    {8, 20, "  その中から、一つ予想を立てて、選択します。"},
    {8, 22, "・当たる確率が低い予想ほど高いレートになります。"},
    {8, 24, "  高倍率ではプレイヤーの運の良さが試されます。"},
}};

// The list lines of bets 1 to 20, shown in the list and again after the roll.
const char* const kBetLines[kBetCount] = {
    " 1 .  小 (出目の合計が 4～10)    倍率  x    2 \n",
    " 2 .  大 (出目の合計が11～17)    倍率  x    2 \n",
    " 3 .  1の目が1つ以上含まれる     倍率  x   10 \n",
    " 4 .  2の目が1つ以上含まれる     倍率  x   10 \n",
    " 5 .  3の目が1つ以上含まれる     倍率  x   10 \n",
    " 6 .  4の目が1つ以上含まれる     倍率  x   10 \n",
    " 7 .  5の目が1つ以上含まれる     倍率  x   10 \n",
    " 8 .  6の目が1つ以上含まれる     倍率  x   10 \n",
    " 9 .  1の目が2つ（ゾロ目除く）   倍率  x   50 \n",
    "10 .  2の目が2つ（ゾロ目除く）   倍率  x   50 \n",
    "11 .  3の目が2つ（ゾロ目除く）   倍率  x   50 \n",
    "12 .  4の目が2つ（ゾロ目除く）   倍率  x   50 \n",
    "13 .  5の目が2つ（ゾロ目除く）   倍率  x   50 \n",
    "14 .  6の目が2つ（ゾロ目除く）   倍率  x   50 \n",
    "15 .  1が3つの ゾロ目            倍率  x  150 \n",
    "16 .  2が3つの ゾロ目            倍率  x  150 \n",
    "17 .  3が3つの ゾロ目            倍率  x  150 \n",
    "18 .  4が3つの ゾロ目            倍率  x  150 \n",
    "19 .  5が3つの ゾロ目            倍率  x  150 \n",
    "20 .  6が3つの ゾロ目            倍率  x  150 \n",
};

// Bets 3 to 20 come in three groups of six, one bet per face; each group wins on its own count
// of dice showing the face, and pays its own multiplier. Bets 3 to 8 pay 15 although their
// list line reads "x   10": the payout is kept on purpose, the list line too.
struct FaceGroup {
    int firstBet;
    int count;  // 0: at least one die
    int multiplier;
};
constexpr FaceGroup kFaceGroups[3] = {{3, 0, 15}, {9, 2, 50}, {15, 3, 150}};

}  // namespace

int evaluateBet(int bet, int d1, int d2, int d3) {
    const int sum = d1 + d2 + d3;
    if (bet == 1) {
        return sum >= 4 && sum <= 10 ? 2 : 0;
    }
    if (bet == 2) {
        return sum >= 11 && sum <= 17 ? 2 : 0;
    }
    for (const FaceGroup& group : kFaceGroups) {
        if (bet < group.firstBet || bet >= group.firstBet + 6) {
            continue;
        }
        const int face = bet - group.firstBet + 1;
        const int shown = (d1 == face) + (d2 == face) + (d3 == face);
        const bool won = group.count == 0 ? shown >= 1 : shown == group.count;
        return won ? group.multiplier : 0;
    }
    return 0;
}

int playBigOrSmall() {
    showRulesPage(kRules);
    clearScreen();

    moveCursor(8, 4);
    printPlain("--- ベット一覧 ---\n");
    for (int bet = 1; bet <= kBetCount; ++bet) {
        moveCursor(10, bet + 5);
        printPlain(kBetLines[bet - 1]);
    }
    moveCursor(8, 27);
    printPlain("--------------------\n");

    const int bet =
        promptNumberInRange(39, "ベットする項目の番号を入力してください >>", 1, kBetCount);

    seedRandomFromClock();
    const int d1 = nextRandom() % 6 + 1;
    const int d2 = nextRandom() % 6 + 1;
    const int d3 = nextRandom() % 6 + 1;

    clearScreen();
    drawDieFace(8, 10, d1);
    drawDieFace(26, 10, d2);
    drawDieFace(44, 10, d3);
    moveCursor(8, 18);
    printPlain("あなたのベットした項目 ：");
    moveCursor(8, 20);
    printPlain(kBetLines[bet - 1]);
    waitKeyAt(1, 39);

    if (bet <= 2) {
        moveCursor(8, 22);
        printText("合計値  : %2d", d1 + d2 + d3);
    }
    const int result = evaluateBet(bet, d1, d2, d3);
    waitKeyAt(1, 39);
    moveCursor(10, 25);
    printPlain(result != 0 ? "当たり！！\n" : "ハズレ！！\n");
    waitKeyAt(1, 40);
    return result;
}
