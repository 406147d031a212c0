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
#include "key_loops.hpp"
#include "measure.hpp"
#include "platform/platform.hpp"
#include "timer_race.hpp"

namespace {

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

// The game's timers raced as on every platform, with a plain thread beside them for the machine's
// floor, and what the host took meanwhile.
void runTimerFigures(const Repetitions& reps) {
    TimerFigures figures;
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
        const double stolenBefore = stolenMs();
        Race race;
        runRace(race);
        stopReference = true;
        referenceThread.join();
        addIntervals(reference, jitterReference);
        stolen.push_back(stolenMs() - stolenBefore);
        figures.add(race);
        countSharedStalls(race.logs[2], race.logs[1], race.start, lateMoverTicks, sharedStalls);
        std::fprintf(stderr, "  timers run %d: %lld ticks of 10 ms in %.3f s\n", run + 1,
                     race.counted, static_cast<double>(race.elapsed) / 1e6);
    }
    figures.addRows();
    std::fprintf(stderr, "  mover ticks over 1 ms late: %d, with the 3 ms timer late too: %d\n",
                 lateMoverTicks, sharedStalls);
    addStatedRow("reference: plain sleeping thread, 3 ms, default slice", "ms", jitterReference,
                 "the machine's floor");
    addStatedRow("processor time the host took meanwhile, per 15 s", "ms", stolen, "stated");
}

namespace {

int keySamples = 0;

void stampInProbe(int key, long long micros) {
    probe->stamps[key] = micros;
    probe->done = key + 1;
}

void pollForKeys() {
    pollForKeysAsTheGameDoes(keySamples, stampInProbe);
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

void blockForEachKey() {
    blockForKeys(keySamples, stampInProbe);
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
    const std::vector<double> polled = keyLatencies(pollForKeys, false);
    addRow("key latency, keyPending polled between ticks", "ms", polled, "p99 at most 1 ms",
           summarize(polled).p99 <= 1);
    const std::vector<double> spun = keyLatencies(spinForKeys, false);
    addStatedRow("key latency, keyPending polled in a busy loop", "ms", spun,
                 "stated: a busy loop competes for a core");
    const std::vector<double> blocked = keyLatencies(blockForEachKey, true);
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
