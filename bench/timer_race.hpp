#pragma once
// The platform's timers as the games use them, on every platform: the three periods run
// together for the sprint's 15 s (the shooting gallery runs 10 ms and 450 ms at once), and the
// count of 10 ms ticks is read as the game reads it, while the timer runs.
#include <atomic>
#include <cstddef>
#include <vector>

constexpr int kRaceMs = 15'000;

// The callback's arrival times (the platform's monotonic clock); only the timer's thread writes
// them, and the bench reads them once the timer has been stopped.
struct TickLog {
    int periodMs = 0;
    std::vector<long long> stamps;
    std::atomic<std::size_t> count{0};
};
void logTick(void* user);
// How far each interval between two ticks was from the period, in ms.
void addIntervals(const TickLog& log, std::vector<double>& jitterMs);

struct Race {
    TickLog logs[3];  // 10 ms, 3 ms, 450 ms
    long long start = 0;
    long long counted = 0;  // 10 ms ticks
    long long elapsed = 0;
};
void runRace(Race& race);

struct TimerFigures {
    std::vector<double> countError;
    std::vector<double> jitter10;
    std::vector<double> jitter3;
    std::vector<double> jitter450;

    void add(const Race& race);
    // To the table, with their budgets; in a browser, whose timeouts are coarser than a
    // thread's waits, the jitter is stated only.
    void addRows(bool jitterBudgets = true) const;
};

// Runs the race `runs` times and adds the figures' rows (the Windows and the web bench; the
// POSIX bench runs a reference thread beside each race).
void measureTimers(int runs, bool jitterBudgets = true);
