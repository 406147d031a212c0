// Measures the game where players feel it, on the real terminal platform: timers, key latency,
// pages, CPU in the timing games, start-up. Prints one table; `--quick` runs fewer repetitions.
//
//   pervaro_bench [--quick] [--only timers|keys|idle|pages|games|start]
#include <string>

#include "measure.hpp"

int main(int argc, char** argv) {
    Repetitions reps;
    std::string only;
    if (!readBenchCommand(argc, argv, "timers|keys|idle|pages|games|start", reps, only)) {
        return 2;
    }
    createProbe();
    makeMapDirectory();
    if (measuring(only, "timers")) {
        runTimerFigures(reps);
    }
    if (measuring(only, "keys")) {
        runKeyFigures(reps);
    }
    if (measuring(only, "idle")) {
        runIdleFigures(reps);
    }
    if (measuring(only, "pages")) {
        runPageFigures(reps);
    }
    if (measuring(only, "games")) {
        runGameFigures(reps);
    }
    if (measuring(only, "start")) {
        runStartFigures(reps, PERVARO_GAME_BINARY);
    }
    removeMapDirectory();
    printTable();
}
