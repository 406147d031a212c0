// 射的ゲーム: a target wanders around the scope centre; one Space press hits or misses.
#include <atomic>
#include <cstdint>

#include "console/console.hpp"
#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "minigames/rules_page.hpp"
#include "minigames/timing_screens.hpp"

namespace {

constexpr PlacedText kRules[] = {
    {16, 7, "～ 射的ゲーム ～"},
    {8, 14, "ルール"},
    {8, 16, "・スコープ画面に現れる動く標的が、ターゲットの中央にきたとき"},
    {8, 18, "  タイミングよく『スペースキー』を押してください。"},
    {8, 20, "・ショットがうまく当たれば勝ち、外れれば負けです。"},
    {8, 22, "・勝負は１回限りです。"},
    {8, 24, "・クリアまでの時間が短いほどボーナスがつきます。"},
};

constexpr int kCentreX = 15;  // the scope centre, drawn at (31,18)
constexpr int kCentreY = 8;
constexpr int kTicksAllowed = 2000;  // 20 seconds of 10 ms ticks

struct Target {
    int x;
    int y;
};

// Both coordinates live in one atomic word, so the game thread never sees half a move.
std::uint32_t packTarget(Target t) {
    return static_cast<std::uint32_t>(t.x) | static_cast<std::uint32_t>(t.y) << 16;
}
Target unpackTarget(std::uint32_t word) {
    return {static_cast<int>(word & 0xFFFFu), static_cast<int>(word >> 16)};
}

std::atomic<std::int32_t> shootingTicks{0};
std::atomic<std::uint32_t> targetWord{packTarget({kCentreX, kCentreY})};

Target currentTarget() {
    return unpackTarget(targetWord.load(std::memory_order_acquire));
}

void countTick(void*) {
    shootingTicks.fetch_add(1, std::memory_order_relaxed);
}

// Drifts back towards the centre by 0 or 1; from the centre itself, leaves it by 1 or 2.
int stepTowards(int value, int centre) {
    if (value > centre) {
        return value - nextRandom() % 2;
    }
    if (value < centre) {
        return value + nextRandom() % 2;
    }
    return value + nextRandom() % 2 - 2;
}

// The mover is the only user of the generator while the game's timers run.
void moveTarget(void*) {
    seedRandom(static_cast<std::uint32_t>(shootingTicks.load(std::memory_order_relaxed)));
    Target t = currentTarget();
    t.x = stepTowards(t.x, kCentreX);
    t.y = stepTowards(t.y, kCentreY);
    targetWord.store(packTarget(t), std::memory_order_release);
}

void drawAt(Target t, const char* text) {
    moveCursor(t.x + 16, t.y + 10);
    printPlain(text);
}

// The scope's own character under a target cell.
const char* scopeCell(Target t) {
    if (t.x == kCentreX && t.y == kCentreY) {
        return "+";
    }
    if (t.x == kCentreX) {
        return "|";
    }
    if (t.y == kCentreY) {
        return "-";
    }
    return " ";
}

void drawScope() {
    for (const int row : {15, 16, 17, 19, 20, 21}) {
        moveCursor(31, row);
        printPlain("|");
    }
    moveCursor(25, 18);
    printPlain("------+------");
}

}  // namespace

int playShooting() {
    shootingTicks.store(0, std::memory_order_relaxed);
    targetWord.store(packTarget({kCentreX, kCentreY}), std::memory_order_relaxed);
    Target drawn{0, 0};

    showRulesPage(kRules);
    clearScreen();
    moveCursor(8, 20);
    printPlain("狙いが定まったときにSpaceキーでShootしてください");
    waitKeyAt(1, 40);
    clearScreen();
    hideCursor();  // it would trail the animation; the next key wait shows it

    drawScope();
    showCountdown(30, 6);
    moveCursor(20, 10);
    printPlain("Time  :");

    const int tickTimer = startPeriodicTimer(10, countTick, nullptr);
    const int moverTimer = startPeriodicTimer(450, moveTarget, nullptr);
    for (;;) {
        if (keyPending()) {
            if (readKeyPress() == kKeySpace) {
                break;
            }
        } else if (shootingTicks.load(std::memory_order_relaxed) < kTicksAllowed) {
            const Target target = currentTarget();
            drawAt(drawn, scopeCell(drawn));
            drawAt(target, "*");
            drawn = target;
            moveCursor(50, 10);
            printTickClock(shootingTicks.load(std::memory_order_relaxed));
            sleepMs(40);
        } else if (readKeyPress() == kKeySpace) {  // time is up: the screen stays as it is
            break;
        }
    }
    stopPeriodicTimer(moverTimer);
    stopPeriodicTimer(tickTimer);

    const Target target = currentTarget();
    int result = 0;
    moveCursor(30, 25);
    if (shootingTicks.load(std::memory_order_relaxed) >= kTicksAllowed) {
        printPlain("Time Over ...");
    } else if (target.x == kCentreX && target.y == kCentreY) {
        printPlain("大当たり！");
        result = 1;
    } else {
        printPlain("残念！ハズレ!");
    }
    shootingTicks.store(0, std::memory_order_relaxed);
    waitKeyAt(1, 40);
    return result;
}
