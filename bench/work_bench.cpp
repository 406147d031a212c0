// The game's pure work, with no terminal and no waiting: reading a map, drawing a board and
// composing whole pages. A regression in the console layer or a page shows here first.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "board/board.hpp"
#include "board/board_map.hpp"
#include "console/console.hpp"
#include "frontend/frontend.hpp"
#include "minigames/minigames.hpp"
#include "null_platform.hpp"

namespace {

void readMap(benchmark::State& state) {
    const auto stage = static_cast<int>(state.range(0));
    for (auto _ : state) {
        BoardMap map;
        std::string problem;
        benchmark::DoNotOptimize(readBoardMap(mapFileName(stage), map, problem));
    }
}
BENCHMARK(readMap)->DenseRange(1, 5);

// Reads the map anew and composes the board page, as every step of a turn does.
void drawBoardPage(benchmark::State& state) {
    const auto stage = static_cast<int>(state.range(0));
    const long long before = nullBytesWritten();
    for (auto _ : state) {
        benchmark::DoNotOptimize(drawBoard(stage, 3));
        flushOutput();
    }
    state.counters["bytes/page"] = benchmark::Counter(
        static_cast<double>(nullBytesWritten() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(drawBoardPage)->DenseRange(1, 5);

// The title page with its menu, answered with 0 at once.
void composeTitlePage(benchmark::State& state) {
    setNullKeys("0\r");
    const long long before = nullBytesWritten();
    for (auto _ : state) {
        benchmark::DoNotOptimize(titleMenu());
    }
    state.counters["bytes/page"] = benchmark::Counter(
        static_cast<double>(nullBytesWritten() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(composeTitlePage);

// A whole bingo game of 1 to 75: the rules, the card and a page per ball.
void composeBingoGame(benchmark::State& state) {
    setNullKeys(" ");
    const long long before = nullBytesWritten();
    for (auto _ : state) {
        benchmark::DoNotOptimize(playBingo(75));
    }
    state.counters["bytes/game"] = benchmark::Counter(
        static_cast<double>(nullBytesWritten() - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(composeBingoGame);

}  // namespace

int main(int argc, char** argv) {
    // The map files are read from the working directory, as in the game.
    std::filesystem::current_path(PERVARO_DATA_DIR);
    initConsole();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
}
