// Timing and CPU figures for the timing games on the real platform: how well the periodic
// timers hold their period, how soon the batting loop wakes after a tick, and what the game
// loops cost in CPU. It draws like the games do, so run it in a terminal (or under `script`);
// the figures go to standard error once the terminal is back, and to the file named by the
// first argument, if any.
//
//   timing_games_bench [results-file] [race-seconds]
//   timing_games_bench play   (plays the shooting gallery, batting and the sprint on keys from
//                              the terminal: a check of the real timer threads, e.g. under TSan)
#include <time.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "console/console.hpp"
#include "minigames/minigames.hpp"
#include "platform/platform.hpp"

namespace {

using Clock = std::chrono::steady_clock;

std::int64_t nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
        .count();
}

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

struct TickRecord {
    std::atomic<std::int32_t> ticks{0};
    std::atomic<std::int64_t> lastMicros{0};
    std::atomic<std::int64_t> longestGapMicros{0};
};

void recordTick(void* user) {
    auto* record = static_cast<TickRecord*>(user);
    const std::int64_t now = nowMicros();
    const std::int64_t last = record->lastMicros.exchange(now);
    if (last != 0) {
        const std::int64_t gap = now - last;
        if (gap > record->longestGapMicros.load()) {
            record->longestGapMicros.store(gap);
        }
    }
    record->ticks.fetch_add(1);
}

std::string report;

void note(const char* format, double a = 0, double b = 0, double c = 0, double d = 0) {
    char line[256];
    std::snprintf(line, sizeof line, format, a, b, c, d);
    report += line;
}

// A timer of `periodMs` left to run for `seconds`: ticks counted against the ticks due.
void measurePeriod(int periodMs, double seconds) {
    TickRecord record;
    const std::int64_t start = nowMicros();
    const int timer = startPeriodicTimer(periodMs, recordTick, &record);
    sleepMs(static_cast<int>(seconds * 1000));
    stopPeriodicTimer(timer);
    const double elapsedMs = static_cast<double>(nowMicros() - start) / 1000.0;
    const int ticks = record.ticks.load();
    note("timer %2.0f ms over %.1f s: %.0f ticks", periodMs, elapsedMs / 1000.0, ticks);
    note(" of %.1f due, longest gap %.2f ms\n", elapsedMs / periodMs,
         static_cast<double>(record.longestGapMicros.load()) / 1000.0);
}

// The batting flight loop: draw at every tick, wait for a key or the next tick. With `wait`
// off it spins as a loop without a pause would.
void measureFlightLoop(int periodMs, double seconds, bool wait) {
    TickRecord record;
    int passes = 0;
    int skipped = 0;  // ticks that passed without a redraw
    std::int64_t wakeTotal = 0;
    std::int64_t wakeLongest = 0;
    int wakes = 0;
    int drawnTicks = 0;
    const double cpuStart = cpuSeconds();
    const std::int64_t start = nowMicros();
    const int timer = startPeriodicTimer(periodMs, recordTick, &record);
    while (nowMicros() - start < static_cast<std::int64_t>(seconds * 1e6) && !keyPending()) {
        const int ticks = record.ticks.load();
        if (ticks != drawnTicks) {
            skipped += ticks - drawnTicks - 1;
            drawnTicks = ticks;
            drawBattingBall(ticks % 70 + 4);
        }
        ++passes;
        if (wait) {
            waitForKeyOrTick(periodMs);
            const std::int64_t late = nowMicros() - record.lastMicros.load();
            if (record.ticks.load() != drawnTicks) {
                wakeTotal += late;
                wakeLongest = std::max(wakeLongest, late);
                ++wakes;
            }
        }
    }
    stopPeriodicTimer(timer);
    const double cpu = cpuSeconds() - cpuStart;
    const double wall = static_cast<double>(nowMicros() - start) / 1e6;
    note(wait ? "flight loop %2.0f ms, waiting: " : "flight loop %2.0f ms, spinning: ", periodMs);
    note("%.0f passes, %.0f ticks, %.0f ticks not drawn, ", passes, record.ticks.load(), skipped);
    note("CPU %.1f %% of one core\n", 100.0 * cpu / wall);
    if (wait && wakes > 0) {
        note("  wake after a tick: mean %.3f ms, longest %.3f ms\n",
             static_cast<double>(wakeTotal) / wakes / 1000.0,
             static_cast<double>(wakeLongest) / 1000.0);
    }
}

// The sprint and shooting loops: redraw the clock, then sleep 40 ms.
void measurePollLoop(double seconds) {
    TickRecord record;
    const double cpuStart = cpuSeconds();
    const std::int64_t start = nowMicros();
    const int timer = startPeriodicTimer(10, recordTick, &record);
    while (nowMicros() - start < static_cast<std::int64_t>(seconds * 1e6) && !keyPending()) {
        const int ticks = record.ticks.load();
        moveCursor(58, 24);
        printText("%d.%2d", ticks / 100, ticks % 100);
        sleepMs(40);
    }
    stopPeriodicTimer(timer);
    const double cpu = cpuSeconds() - cpuStart;
    const double wall = static_cast<double>(nowMicros() - start) / 1e6;
    note("40 ms poll loop with a 10 ms timer: CPU %.2f %% of one core\n", 100.0 * cpu / wall);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "play") {
        initConsole();
        const int shooting = playShooting();
        const int batting = playBatting();
        const int sprint = playSprint();
        note("shooting %.0f, batting %.0f, sprint %.0f, ", shooting, batting, sprint);
        note("timers still running: %.0f\n", platform::runningTimers());
        endProgram(0, report);
    }
    const char* resultsFile = argc > 1 ? argv[1] : nullptr;
    const double raceSeconds = argc > 2 ? std::atof(argv[2]) : 15.0;
    initConsole();
    clearScreen();
    moveCursor(1, 1);
    printPlain("timing games bench: measuring...");
    flushOutput();

    measurePeriod(10, raceSeconds);
    measurePeriod(3, 3.0);
    measurePeriod(14, 3.0);
    measureFlightLoop(3, 2.0, true);
    measureFlightLoop(14, 2.0, true);
    measureFlightLoop(3, 2.0, false);
    measurePollLoop(2.0);

    if (resultsFile != nullptr) {
        if (std::FILE* f = std::fopen(resultsFile, "w")) {
            std::fputs(report.c_str(), f);
            std::fclose(f);
        }
    }
    endProgram(0, report);
}
