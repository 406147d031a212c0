// 短距離走: alternate 1 and 2 to move the runner; a 10 ms timer keeps the race clock.
#include <atomic>
#include <cstdint>

#include "console/console.hpp"
#include "console/screen.hpp"
#include "minigames/minigames.hpp"
#include "minigames/rules_page.hpp"
#include "minigames/timing_screens.hpp"

namespace {

constexpr PlacedText kRules[] = {
    {16, 7, "～ 短距離走ゲーム ～"},
    {8, 14, "ルール"},
    {8, 16, "・タイミングよくテンキーの1と2を交互に連打し、いかに早く"},
    {8, 18, "  ゴールに到達できるかを競うゲームです。"},
    {8, 20, "・15秒以内にゴールに到達できればクリア、到達できなければ"},
    {8, 22, "  失敗となります。"},
    {8, 24, "・勝負は１回限りです。"},
    {8, 26, "・キーボード連打するので周囲にご注意ください（笑）"},
};

struct Cheer {
    int position;
    const char* text;  // 19 columns, so each covers the one before
};
constexpr Cheer kCheers[] = {
    {2, "                   "},  // erases the start signal
    {12, "まだまだっ！！     "}, {21, "ガンバレ! ガンバレ!"},
    {35, "もうちょっとだ！！ "}, {43, "ラストスパート！！ "},
};

constexpr int kGoalPosition = 50;
constexpr int kPressesPerStep = 3;
constexpr int kTicksToWin = 1500;     // under 15.00 s
constexpr int kTicksToGiveUp = 6000;  // after 60 s the clock stops being polled

// 10 ms ticks since the start signal; only the timer callback increments it.
std::atomic<std::int32_t> raceTicks{0};

void countTick(void*) {
    raceTicks.fetch_add(1, std::memory_order_relaxed);
}

void printCheer(int position) {
    for (const Cheer& cheer : kCheers) {
        if (cheer.position == position) {
            moveCursor(30, 11);
            printPlain(cheer.text);
        }
    }
}

// Redraws the runner and the clock every 40 ms until a key is waiting, or once only after
// the time is up (each further pass then blocks on its key). `drawnAt` is the runner's column
// on screen: presses that come in a burst move it several columns between two draws, and the
// blank in front of the runner erases only the last one.
void pollRace(int position, int& drawnAt) {
    while (!keyPending()) {
        if (drawnAt < position + 8) {
            moveCursor(drawnAt, 22);
            printPlain(" ");
        }
        drawnAt = position + 9;
        moveCursor(position + 8, 22);
        printPlain(" X");
        moveCursor(58, 24);
        printTickClock(raceTicks.load(std::memory_order_relaxed));
        sleepMs(40);
        if (raceTicks.load(std::memory_order_relaxed) > kTicksToGiveUp) {
            printPlain("Time UP!!");
            return;
        }
    }
}

}  // namespace

int playSprint() {
    raceTicks.store(0, std::memory_order_relaxed);
    showRulesPage(kRules);
    clearScreen();
    hideCursor();  // it would trail the animation; the next key wait shows it

    moveCursor(8, 30);
    printPlain("テンキーの１と２を交互に連打してください");
    moveCursor(58, 23);
    printPlain("G");
    moveCursor(10, 21);
    printPlain("S");
    moveCursor(10, 22);
    printPlain("X");
    showCountdown(30, 11);

    const int timer = startPeriodicTimer(10, countTick, nullptr);
    int position = 1;
    int presses = 0;
    int lastKey = '2';
    int drawnAt = 10;
    while (position < kGoalPosition) {
        printCheer(position);
        pollRace(position, drawnAt);
        const int key = readKeyPress();
        if ((key == '1' && lastKey == '2') || (key == '2' && lastKey == '1')) {
            lastKey = key;
            if (++presses >= kPressesPerStep) {
                presses = 0;
                ++position;
            }
        }
    }
    stopPeriodicTimer(timer);
    const int ticks = raceTicks.load(std::memory_order_relaxed);

    moveCursor(30, 11);
    printPlain("GOAL ！！          ");
    waitKeyAt(1, 40);
    clearPromptLine(10);
    moveCursor(30, 30);
    printText("LAP : %d.%2d", ticks / 100, ticks % 100);
    waitKeyAt(1, 40);

    const int result = ticks < kTicksToWin ? 1 : 0;
    moveCursor(30, 35);
    printPlain(result == 1 ? "クリア！" : "残念！");
    raceTicks.store(0, std::memory_order_relaxed);
    waitKeyAt(1, 40);
    return result;
}
