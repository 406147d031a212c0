// Periodic timers and pauses, in the test's own process (no terminal needed): the same tests
// for every platform.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#ifndef _WIN32
#include <signal.h>
#include <sys/time.h>
#endif

#include "platform/platform.hpp"
#include "platform/waiting.hpp"

namespace {

struct Ticks {
    std::atomic<int> count{0};
    std::atomic<bool> inside{false};
    int slowMs = 0;
    std::atomic<int> stopsItself{-1};  // its own handle, once known, when it stops itself
};

void countTick(void* user) {
    auto& ticks = *static_cast<Ticks*>(user);
    ticks.inside = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(ticks.slowMs));
    ++ticks.count;
    ticks.inside = false;
    while (ticks.stopsItself == 0) {
        std::this_thread::yield();
    }
    if (ticks.stopsItself > 0) {
        platform::stopTimer(ticks.stopsItself);
    }
}

// Four at once: two slow ones, so that stops land in the middle of a callback now and then, and
// one that waits a minute for its first tick, which a stop must not wait for.
TEST(Timers, TickUntilStoppedAndNeverAfter) {
    EXPECT_EQ(platform::startTimer(0, countTick, nullptr), 0);
    EXPECT_EQ(platform::startTimer(-5, countTick, nullptr), 0);
    EXPECT_EQ(platform::startTimer(10, nullptr, nullptr), 0);
    const int periods[] = {10, 1, 1, 60'000};
    const int slowMs[] = {0, 4, 7, 0};
    Ticks ticks[4];
    int handles[4];
    for (int i = 0; i < 4; ++i) {
        ticks[i].slowMs = slowMs[i];
        handles[i] = platform::startTimer(periods[i], countTick, &ticks[i]);
        ASSERT_GT(handles[i], 0);
        EXPECT_EQ(platform::runningTimers(), i + 1);
    }
    platform::stopTimer(0);  // stray stops do nothing
    platform::stopTimer(handles[3] + 1000);
    platform::sleepMs(200);
    int counted[4];
    const long long stoppingMs = msOf([&] {
        for (int i = 3; i >= 0; --i) {
            platform::stopTimer(handles[i]);
            EXPECT_FALSE(ticks[i].inside) << "timer " << i;
            counted[i] = ticks[i].count;
            EXPECT_EQ(platform::runningTimers(), i);
        }
    });
    EXPECT_LT(stoppingMs, 10'000) << "a stop should not wait for the next tick";
    platform::stopTimer(handles[0]);  // and so does a second one
    // About twenty ticks of 10 ms; loose, the machine may be busy.
    EXPECT_GE(counted[0], 3);
    EXPECT_LE(counted[0], 25);
    EXPECT_EQ(counted[3], 0);
    platform::sleepMs(40);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(ticks[i].count, counted[i]) << "timer " << i;
    }
}

TEST(Timers, ACallbackMayStopItsOwnTimer) {
    Ticks ticks;
    ticks.stopsItself = 0;
    ticks.stopsItself = platform::startTimer(2, countTick, &ticks);
    ASSERT_GT(ticks.stopsItself, 0);
    const long long deadline = nowMicros() + kPatienceMs * 1000LL;
    while (platform::runningTimers() > 0 && nowMicros() < deadline) {
        platform::sleepMs(2);
    }
    EXPECT_EQ(platform::runningTimers(), 0);
    platform::sleepMs(20);
    EXPECT_EQ(ticks.count, 1);
}

#ifndef _WIN32
void ignoreAlarm(int) {}
#endif

// Through signals too: on POSIX an alarm every 5 ms interrupts the longest sleep a dozen times.
TEST(Clock, SleepLastsItsTime) {
#ifndef _WIN32
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = ignoreAlarm;
    ::sigaction(SIGALRM, &action, &previous);
    const itimerval every5ms{{0, 5000}, {0, 5000}};
    ::setitimer(ITIMER_REAL, &every5ms, nullptr);
#endif
    for (const int ms : {1, 4, 60}) {
        EXPECT_GE(msOf([ms] { platform::sleepMs(ms); }), ms);
    }
#ifndef _WIN32
    const itimerval off{};
    ::setitimer(ITIMER_REAL, &off, nullptr);
    ::sigaction(SIGALRM, &previous, nullptr);
#endif
}

}  // namespace
