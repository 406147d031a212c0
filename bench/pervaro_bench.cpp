// Measures the game where players feel it, on the real terminal platform: timers, key latency,
// pages, CPU in the timing games, start-up. Prints one table; `--quick` runs fewer repetitions.
//
//   pervaro_bench [--quick] [--only timers|keys|idle|pages|games|start]
#include <cstdio>
#include <cstring>
#include <string>

#include "measure.hpp"

int main(int argc, char** argv) {
    Repetitions reps;
    std::string only;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            reps = {true, 1, 50, 1, 1, 1, 3};
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc) {
            only = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: %s [--quick] [--only timers|keys|idle|pages|games|start]\n",
                         argv[0]);
            return 2;
        }
    }
    createProbe();
    makeMapDirectory();
    const auto wanted = [&](const char* part) {
        const bool run = only.empty() || only == part;
        if (run) {
            std::fprintf(stderr, "measuring %s...\n", part);
        }
        return run;
    };
    if (wanted("timers")) {
        runTimerFigures(reps);
    }
    if (wanted("keys")) {
        runKeyFigures(reps);
    }
    if (wanted("idle")) {
        runIdleFigures(reps);
    }
    if (wanted("pages")) {
        runPageFigures(reps);
    }
    if (wanted("games")) {
        runGameFigures(reps);
    }
    if (wanted("start")) {
        runStartFigures(reps, PERVARO_GAME_BINARY);
    }
    removeMapDirectory();
    printTable();
}
