// The bench in a browser: the web platform's timers and the time from a key's keydown event to
// the moment the game meets the key, in the same page structure as the game (xterm.js's data
// events into the platform). bench/web/run.js drives it in Chromium and adds the figures of
// the game's own page; the table is printed to the page's console.
//
//   arguments: [--quick] [--only timers|keys]
#include <emscripten.h>

#include <string>
#include <vector>

#include "console/console.hpp"
#include "key_loops.hpp"
#include "table.hpp"
#include "timer_race.hpp"

// clang-format off
// The driver presses keys once told a part is ready for them.
EM_JS(void, benchReady, (const char* part), { Module.benchReady(UTF8ToString(part)); });
// When the page saw key i's keydown, in ms on the monotonic clock (performance.now).
EM_JS(double, keydownAt, (int key), { return Module.keydownAt(key); });
// clang-format on

namespace {

std::vector<long long> seenAt;

void noteSeen(int key, long long micros) {
    seenAt[static_cast<std::size_t>(key)] = micros;
}

std::vector<double> latencies(int keys, void (*loop)(int, KeySeen), const char* part) {
    seenAt.assign(static_cast<std::size_t>(keys), 0);
    benchReady(part);
    loop(keys, noteSeen);
    std::vector<double> ms;
    for (int i = 0; i < keys; ++i) {
        ms.push_back(static_cast<double>(seenAt[static_cast<std::size_t>(i)]) / 1000.0 -
                     keydownAt(i));
    }
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    Repetitions reps;
    std::string only;
    if (!readBenchCommand(argc, argv, "timers|keys", reps, only)) {
        return 2;
    }
    initConsole();
    if (measuring(only, "timers")) {
        measureTimers(reps.timerRuns, false);
    }
    if (measuring(only, "keys")) {
        const std::vector<double> polled =
            latencies(reps.keySamples, pollForKeysAsTheGameDoes, "keys-polled");
        addRow("key latency, keydown to keyPending polled between ticks", "ms", polled,
               "p99 under 4 ms", summarize(polled).p99 < 4);
        const std::vector<double> blocked =
            latencies(reps.keySamples, blockForKeys, "keys-blocked");
        addRow("key latency, keydown to a blocked readKey", "ms", blocked, "p99 under 4 ms",
               summarize(blocked).p99 < 4);
    }
    printTable();
    benchReady("done");
}
