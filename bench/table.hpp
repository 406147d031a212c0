#pragma once
// What both benches share: their command line, how often each figure is taken, and the result
// table (summaries of repeated samples, one row per figure).
#include <cstdio>
#include <string>
#include <vector>

struct Summary {
    double min = 0;
    double median = 0;
    double p99 = 0;
    double max = 0;
    int samples = 0;
};
Summary summarize(std::vector<double> values);

// One line of the table. `verdict` says whether the budget is met ("ok", "MISSED") or that
// the figure is only stated ("stated").
struct Row {
    std::string figure;
    std::string unit;
    Summary summary;
    std::string budget;
    std::string verdict;
};
void addRow(const std::string& figure, const std::string& unit, const std::vector<double>& values,
            const std::string& budget, bool withinBudget);
void addStatedRow(const std::string& figure, const std::string& unit,
                  const std::vector<double>& values, const std::string& budget);
// The table in Markdown, to standard output unless told otherwise.
void printTable(std::FILE* out = stdout);

// How often each figure is taken; --quick takes each once, or keys fewer times.
struct Repetitions {
    bool quick = false;
    int timerRuns = 4;
    int keySamples = 200;
    int idleRuns = 3;
    int pageRuns = 3;
    int gameRuns = 3;
    int startRuns = 10;
};
// The command line, [--quick] [--only PART] with PART one of `parts` ("timers|keys|..."). False,
// after a usage line on standard error, for anything else.
bool readBenchCommand(int argc, char** argv, const std::string& parts, Repetitions& reps,
                      std::string& only);
// Whether a part is measured (every one, unless --only names one); says so on standard error.
bool measuring(const std::string& only, const char* part);

// "CPU during" a game: the shares of a core that runs of `play` report (negative: that run
// failed, and is left out).
void measureGame(const char* name, double (*play)(), int runs);
