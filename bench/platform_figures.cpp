// The platform's own figures: periodic timers, key latency through a pseudo-terminal, and the
// CPU a blocked key wait costs.
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <thread>
#include <vector>

#include "console/console.hpp"
#include "console/platform.hpp"
#include "measure.hpp"

namespace {

// The callback's arrival times; only the timer's thread writes them, and the bench reads
// them once the timer has been stopped.
struct TickLog {
    int periodMs = 0;
    std::vector<long long> stamps;
    std::atomic<std::size_t> count{0};
};

void logTick(void* user) {
    auto* log = static_cast<TickLog*>(user);
    const std::size_t at = log->count.load(std::memory_order_relaxed);
    if (at < log->stamps.size()) {
        log->stamps[at] = nowMicros();
    }
    log->count.store(at + 1, std::memory_order_release);
}

constexpr int kRaceMs = 15'000;

void addIntervals(const TickLog& log, std::vector<double>& jitterMs) {
    const std::size_t stored = std::min(log.count.load(), log.stamps.size());
    for (std::size_t i = 1; i < stored; ++i) {
        const double interval = static_cast<double>(log.stamps[i] - log.stamps[i - 1]) / 1000.0;
        jitterMs.push_back(std::fabs(interval - log.periodMs));
    }
}

// The machine's floor beside the platform: a plain thread sleeping to absolute 3 ms deadlines
// with the default time slice, run at the same moment as the platform's timers.
void runReference(TickLog& log, const std::atomic<bool>& stop) {
    timespec next{};
    ::clock_gettime(CLOCK_MONOTONIC, &next);
    while (!stop.load()) {
        next.tv_nsec += log.periodMs * 1'000'000L;
        if (next.tv_nsec >= 1'000'000'000L) {
            next.tv_nsec -= 1'000'000'000L;
            next.tv_sec += 1;
        }
        while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr) == EINTR) {
        }
        logTick(&log);
    }
}

// How late a tick came against its timer's schedule (the first one is due a period after
// `start`), in microseconds.
long long lateness(const TickLog& log, std::size_t tick, long long start) {
    return log.stamps[tick] - (start + static_cast<long long>(tick + 1) * log.periodMs * 1000);
}

// Whether the machine held every timer back at once: a late mover tick is the machine's doing
// when a 3 ms tick of the same moment was late too.
void countSharedStalls(const TickLog& mover, const TickLog& fast, long long start, int& late,
                       int& shared) {
    const std::size_t moverTicks = std::min(mover.count.load(), mover.stamps.size());
    const std::size_t fastTicks = std::min(fast.count.load(), fast.stamps.size());
    for (std::size_t i = 0; i < moverTicks; ++i) {
        if (lateness(mover, i, start) <= 1000) {
            continue;
        }
        ++late;
        const long long due = mover.stamps[i] - lateness(mover, i, start);
        for (std::size_t j = 0; j < fastTicks; ++j) {
            const long long fastDue = fast.stamps[j] - lateness(fast, j, start);
            if (std::llabs(fastDue - due) <= 3000 && lateness(fast, j, start) > 1000) {
                ++shared;
                break;
            }
        }
    }
}

// Time the host took the machine's processors away, summed over them, in ms.
double stolenMs() {
    std::FILE* stat = std::fopen("/proc/stat", "r");
    if (stat == nullptr) {
        return 0;
    }
    unsigned long long fields[8] = {};
    const int read =
        std::fscanf(stat, "cpu %llu %llu %llu %llu %llu %llu %llu %llu", &fields[0], &fields[1],
                    &fields[2], &fields[3], &fields[4], &fields[5], &fields[6], &fields[7]);
    std::fclose(stat);
    return read == 8 ? static_cast<double>(fields[7]) * 1000.0 / ::sysconf(_SC_CLK_TCK) : 0;
}

}  // namespace

// The three periods the games use run together for the sprint's 15 s, as in the shooting
// gallery (10 ms and 450 ms at once); the count of 10 ms ticks is read as the game reads it.
void runTimerFigures(const Repetitions& reps) {
    std::vector<double> countError;
    std::vector<double> jitter10;
    std::vector<double> jitter3;
    std::vector<double> jitter450;
    std::vector<double> jitterReference;
    std::vector<double> stolen;
    int lateMoverTicks = 0;
    int sharedStalls = 0;
    for (int run = 0; run < reps.timerRuns; ++run) {
        TickLog reference;
        reference.periodMs = 3;
        reference.stamps.resize(kRaceMs / 3 + 100);
        std::atomic<bool> stopReference{false};
        std::thread referenceThread(runReference, std::ref(reference), std::cref(stopReference));
        TickLog logs[3];
        logs[0].periodMs = 10;
        logs[1].periodMs = 3;
        logs[2].periodMs = 450;
        for (TickLog& log : logs) {
            log.stamps.resize(static_cast<std::size_t>(kRaceMs / log.periodMs + 100));
        }
        const double stolenBefore = stolenMs();
        const long long start = nowMicros();
        int handles[3];
        for (int i = 0; i < 3; ++i) {
            handles[i] = platform::startTimer(logs[i].periodMs, logTick, &logs[i]);
        }
        platform::sleepMs(kRaceMs);
        // Read as the game reads its tick counter: while the timer still runs.
        const auto counted = static_cast<long long>(logs[0].count.load());
        const long long elapsed = nowMicros() - start;
        for (const int handle : handles) {
            platform::stopTimer(handle);
        }
        stopReference = true;
        referenceThread.join();
        addIntervals(reference, jitterReference);
        stolen.push_back(stolenMs() - stolenBefore);
        const long long due = elapsed / 10'000;
        countError.push_back(static_cast<double>(std::llabs(counted - due)));
        addIntervals(logs[0], jitter10);
        addIntervals(logs[1], jitter3);
        addIntervals(logs[2], jitter450);
        countSharedStalls(logs[2], logs[1], start, lateMoverTicks, sharedStalls);
        std::fprintf(stderr, "  timers run %d: %lld ticks of 10 ms in %.3f s\n", run + 1, counted,
                     static_cast<double>(elapsed) / 1e6);
    }
    addRow("10 ms timer: ticks counted in 15 s, error", "ticks", countError, "at most 1 tick",
           summarize(countError).max <= 1);
    addRow("10 ms timer: interval jitter", "ms", jitter10, "p99 at most 0.5 ms",
           summarize(jitter10).p99 <= 0.5);
    addRow("3 ms timer: interval jitter", "ms", jitter3, "p99 at most 0.5 ms",
           summarize(jitter3).p99 <= 0.5);
    addRow("450 ms mover: interval jitter", "ms", jitter450, "p99 at most 1 ms",
           summarize(jitter450).p99 <= 1);
    std::fprintf(stderr, "  mover ticks over 1 ms late: %d, with the 3 ms timer late too: %d\n",
                 lateMoverTicks, sharedStalls);
    addStatedRow("reference: plain sleeping thread, 3 ms, default slice", "ms", jitterReference,
                 "the machine's floor");
    addStatedRow("processor time the host took meanwhile, per 15 s", "ms", stolen, "stated");
}

namespace {

int keySamples = 0;

void tickIdly(void*) {}

// Polls as the batting flight loop does: a 3 ms timer runs, and between two looks at the keys
// the loop waits for a key or the next tick. Stamps the moment the key shows.
void pollForKeysAsTheGameDoes() {
    const int timer = startPeriodicTimer(3, tickIdly, nullptr);
    for (int i = 0; i < keySamples; ++i) {
        while (!keyPending()) {
            waitForKeyOrTick(3);
        }
        probe->stamps[i] = nowMicros();
        readKey();
        probe->done = i + 1;
    }
    stopPeriodicTimer(timer);
}

// Polls without pausing: the console's own path, with a core to itself (when it gets one).
void spinForKeys() {
    for (int i = 0; i < keySamples; ++i) {
        while (!keyPending()) {
        }
        probe->stamps[i] = nowMicros();
        readKey();
        probe->done = i + 1;
    }
}

void blockForKeys() {
    for (int i = 0; i < keySamples; ++i) {
        readKey();
        probe->stamps[i] = nowMicros();
        probe->done = i + 1;
    }
}

std::vector<double> keyLatencies(void (*body)(), bool waitUntilBlocked) {
    std::vector<double> latencies;
    ConsoleChild child(body);
    for (int i = 0; i < keySamples; ++i) {
        if (waitUntilBlocked) {
            child.waitBlocked(i + 1);
        } else {
            child.pumpFor(1 + std::rand() % 4);
        }
        const long long sent = nowMicros();
        child.pty().type("a");
        const long long deadline = sent + kPatienceMs * 1000LL;
        // Sleeps rather than spins: the terminal's own work needs a core too.
        while (probe->done.load() <= i && nowMicros() < deadline) {
            ::usleep(50);
        }
        if (probe->done.load() <= i) {
            std::fprintf(stderr, "  key %d never arrived\n", i);
            break;
        }
        latencies.push_back(static_cast<double>(probe->stamps[i].load() - sent) / 1000.0);
    }
    child.pty().waitForExit();
    return latencies;
}

}  // namespace

void runKeyFigures(const Repetitions& reps) {
    keySamples = std::min(reps.keySamples, 1024);
    const std::vector<double> polled = keyLatencies(pollForKeysAsTheGameDoes, false);
    addRow("key latency, keyPending polled between ticks", "ms", polled, "p99 at most 1 ms",
           summarize(polled).p99 <= 1);
    const std::vector<double> spun = keyLatencies(spinForKeys, false);
    addStatedRow("key latency, keyPending polled in a busy loop", "ms", spun,
                 "stated: a busy loop competes for a core");
    const std::vector<double> blocked = keyLatencies(blockForKeys, true);
    addRow("key latency, blocked readKey", "ms", blocked, "p99 at most 1 ms",
           summarize(blocked).p99 <= 1);
}

namespace {

constexpr int kIdleMs = 10'000;

void waitForOneKey() {
    probe->cpuMicros[0] = processCpuMicros();
    readKey();
    probe->cpuMicros[1] = processCpuMicros();
}

}  // namespace

void runIdleFigures(const Repetitions& reps) {
    std::vector<double> shares;
    for (int run = 0; run < reps.idleRuns; ++run) {
        ConsoleChild child(waitForOneKey);
        child.waitBlocked(1);
        const long long start = nowMicros();
        child.pumpFor(kIdleMs);
        child.pty().type(" ");
        child.pty().waitForExit();
        const long long wall = nowMicros() - start;
        const double used = static_cast<double>(probe->cpuMicros[1] - probe->cpuMicros[0]);
        shares.push_back(100.0 * used / static_cast<double>(wall));
    }
    addRow("CPU while blocked in a key wait, 10 s", "% of a core", shares, "under 1%",
           summarize(shares).max < 1);
}
