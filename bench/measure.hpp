#pragma once
// Shared pieces of the bench: summaries of repeated samples, the result table, the counters a
// child process shares with the bench, and the child set-up for console pages.
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "posix/pty_child.hpp"
#include "table.hpp"

// Counters a child keeps in memory shared with the bench. Writes to standard output and blocking
// waits for input are counted by wrappers around write and poll (linked with --wrap), so the
// figures are the real platform's system calls.
struct SharedProbe {
    std::atomic<long long> writes;
    std::atomic<long long> bytes;
    std::atomic<long long> blockingWaits;
    std::atomic<int> ready;
    std::atomic<int> done;
    std::atomic<long long> stamps[1024];
    std::atomic<long long> cpuMicros[2];
};
extern SharedProbe* probe;
void createProbe();
void resetProbe();
// Counting is switched on in a child only: the bench's own output is not the game's.
void countInThisProcess();

// A child on a pseudo-terminal with the console started in a folder holding the map files. The
// terminal answers the start-up question about character widths as a wide terminal would.
class ConsoleChild {
  public:
    explicit ConsoleChild(void (*body)());
    PtyChild& pty() { return child_; }
    pid_t pid() const { return child_.pid(); }
    // Waits until the child is blocked waiting for input for the n-th time since the start.
    bool waitBlocked(long long count, int timeoutMs = kPatienceMs);
    // Reads output for a while.
    void pumpFor(int ms);

  private:
    PtyChild child_;
};

std::string mapDirectory();
void makeMapDirectory();
void removeMapDirectory();

long long childCpuMicros(pid_t pid);
long long processCpuMicros();
// The bytes of the output that are not control sequences: what the page shows.
long long visibleBytes(std::string_view output);

void runTimerFigures(const Repetitions& reps);
void runKeyFigures(const Repetitions& reps);
void runIdleFigures(const Repetitions& reps);
void runPageFigures(const Repetitions& reps);
void runGameFigures(const Repetitions& reps);
void runStartFigures(const Repetitions& reps, const std::string& gameBinary);
