// バッティングゲーム: the chosen speed is the ball's tick period; one key swings.
#include <atomic>
#include <cstdint>

#include "console/console.hpp"
#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "minigames/rules_page.hpp"
#include "minigames/timing_screens.hpp"

namespace {

constexpr PlacedText kRules[] = {
    {16, 7, "～ バッティングゲーム ～"},
    {8, 14, "ルール"},
    {8, 16, "・ピッチングマシーンから放たれたボールを、タイミングよく"},
    {8, 18, "  ボタンを押して、打つゲームです。"},
    {8, 20, "・球速は最初に選択することが出来ます。"},
    {8, 22, "  球速ごとに得られるレートは変わります。"},
    {8, 24, "・ゲームは1球勝負です。どのタイミングで発射されるか"},
    {8, 26, "  わからないので、集中力が試されます。"},
};

// One line per speed, fastest first; the km/h figures are for show.
constexpr const char* kSpeedLines[] = {
    "            3.  368 km/h    :  x 13倍 \n", "            4.  276 km/h    :  x 12倍 \n",
    "            5.  221 km/h    :  x 11倍 \n", "            6.  184 km/h    :  x 10倍 \n",
    "            7.  158 km/h    :  x  9倍 \n", "            8.  138 km/h    :  x  8倍 \n",
    "            9.  122 km/h    :  x  7倍 \n", "           10.  110 km/h    :  x  6倍 \n",
    "           11.  100 km/h    :  x  5倍 \n", "           12.   92 km/h    :  x  4倍 \n",
    "           13.   85 km/h    :  x  3倍 \n", "           14.   79 km/h    :  x  2倍 \n",
};

constexpr int kFastest = 3;
constexpr int kSlowest = 14;
constexpr int kZoneFirst = 60;  // the batting zone "| |"
constexpr int kZoneLast = 62;

// The ball's column; only the timer callback advances it.
std::atomic<std::int32_t> ballColumn{1};

void advanceBall(void*) {
    ballColumn.fetch_add(1, std::memory_order_relaxed);
}

int chooseSpeed() {
    clearScreen();
    moveCursor(1, 10);
    printPlain("        挑戦するスピードに対応する数値を入力してください\n");
    printPlain("\n");
    printPlain("         ---- クリアレート ----\n");
    for (const char* line : kSpeedLines) {
        printPlain(line);
    }
    printPlain("\n");
    printPlain("         その他(0など) → 上記の中からランダムで速度・倍率が決定 \n");
    printPlain("         ----------------------\n");
    moveCursor(1, 39);
    int speed = 0;
    if (readInt(speed) && speed >= kFastest && speed <= kSlowest) {
        return speed;
    }
    // Anything else is not asked again: a random speed, never the slowest.
    return nextRandom() % 11 + kFastest;
}

void drawPitch() {
    clearScreen();
    hideCursor();  // it would trail the animation; the next key wait shows it
    moveCursor(8, 4);
    printPlain("  --- バッティング ゲーム ---\n");
    moveCursor(1, 10);
    printPlain("|");
    moveCursor(60, 10);
    printPlain("| |");
    moveCursor(1, 12);
    printPlain("ピッチングマシーン");
    moveCursor(60, 12);
    printPlain("バッティングゾーン");
}

// Draws the ball at every tick until a key is waiting or the ball has left the zone. Waiting
// for the next tick or key instead of spinning keeps a core free without missing either.
void flyBall(int speed) {
    while (!keyPending()) {
        const int x = ballColumn.load(std::memory_order_relaxed);
        drawBattingBall(x);
        if (x > kZoneLast) {
            return;
        }
        waitForKeyOrTick(speed);
    }
}

}  // namespace

void drawBattingBall(int x) {
    // Left of column 1 a move is ignored, so such a trail cell lands where the cursor stands.
    moveCursor(x - 1, 8);
    printPlain("*");
    moveCursor(x - 3, 8);
    printPlain(" ");
    moveCursor(x, 8);
    printPlain("⑪");
}

int playBatting() {
    ballColumn.store(1, std::memory_order_relaxed);
    showRulesPage(kRules);
    seedRandomFromClock();
    const int speed = chooseSpeed();

    drawPitch();
    sleepMs(1000);
    sleepMs(nextRandom() % 1000 + 2500);
    moveCursor(1, 8);
    printPlain("/");

    const int timer = startPeriodicTimer(speed, advanceBall, nullptr);
    flyBall(speed);
    readKeyPress();
    const int x = ballColumn.load(std::memory_order_relaxed);
    const bool hit = x >= kZoneFirst && x <= kZoneLast;
    moveCursor(30, 16);
    if (hit) {
        printPlain("あたった！\n");
    } else {
        printText("空振り！ x:%d\n", x);
    }
    stopPeriodicTimer(timer);
    waitKeyAt(1, 39);
    return hit ? 16 - speed : 0;
}
