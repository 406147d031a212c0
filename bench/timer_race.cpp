#include "timer_race.hpp"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "platform/platform.hpp"
#include "table.hpp"

void logTick(void* user) {
    auto* log = static_cast<TickLog*>(user);
    const std::size_t at = log->count.load(std::memory_order_relaxed);
    if (at < log->stamps.size()) {
        log->stamps[at] = platform::monotonicMicros();
    }
    log->count.store(at + 1, std::memory_order_release);
}

void addIntervals(const TickLog& log, std::vector<double>& jitterMs) {
    const std::size_t stored = std::min(log.count.load(), log.stamps.size());
    for (std::size_t i = 1; i < stored; ++i) {
        const double interval = static_cast<double>(log.stamps[i] - log.stamps[i - 1]) / 1000.0;
        jitterMs.push_back(std::fabs(interval - log.periodMs));
    }
}

void runRace(Race& race) {
    const int periods[3] = {10, 3, 450};
    for (int i = 0; i < 3; ++i) {
        race.logs[i].periodMs = periods[i];
        race.logs[i].stamps.resize(static_cast<std::size_t>(kRaceMs / periods[i] + 100));
    }
    race.start = platform::monotonicMicros();
    int handles[3];
    for (int i = 0; i < 3; ++i) {
        handles[i] = platform::startTimer(periods[i], logTick, &race.logs[i]);
    }
    platform::sleepMs(kRaceMs);
    race.counted = static_cast<long long>(race.logs[0].count.load());
    race.elapsed = platform::monotonicMicros() - race.start;
    for (const int handle : handles) {
        platform::stopTimer(handle);
    }
}

void TimerFigures::add(const Race& race) {
    const long long due = race.elapsed / 10'000;
    countError.push_back(static_cast<double>(std::llabs(race.counted - due)));
    addIntervals(race.logs[0], jitter10);
    addIntervals(race.logs[1], jitter3);
    addIntervals(race.logs[2], jitter450);
}

void TimerFigures::addRows(bool jitterBudgets) const {
    addRow("10 ms timer: ticks counted in 15 s, error", "ticks", countError, "at most 1 tick",
           summarize(countError).max <= 1);
    const auto jitterRow = [&](const char* figure, const std::vector<double>& values,
                               const char* budget, double p99) {
        if (jitterBudgets) {
            addRow(figure, "ms", values, budget, summarize(values).p99 <= p99);
        } else {
            addStatedRow(figure, "ms", values, "stated: the browser's timeouts");
        }
    };
    jitterRow("10 ms timer: interval jitter", jitter10, "p99 at most 0.5 ms", 0.5);
    jitterRow("3 ms timer: interval jitter", jitter3, "p99 at most 0.5 ms", 0.5);
    jitterRow("450 ms mover: interval jitter", jitter450, "p99 at most 1 ms", 1);
}

void measureTimers(int runs, bool jitterBudgets) {
    TimerFigures figures;
    for (int run = 0; run < runs; ++run) {
        Race race;
        runRace(race);
        figures.add(race);
    }
    figures.addRows(jitterBudgets);
}
