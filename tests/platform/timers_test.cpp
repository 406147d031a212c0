// Periodic timers and sleeping, in the test's own process (no terminal needed): the same
// tests for every platform.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "console/platform.hpp"

namespace {

// How long a step may take before the test gives up: generous, for a loaded machine.
constexpr int kPatienceMs = 5000;

long long nowMicros() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

struct Ticks {
    std::atomic<int> count{0};
    std::atomic<bool> inside{false};
    int slowMs = 0;
};

void countTick(void* user) {
    auto& ticks = *static_cast<Ticks*>(user);
    ticks.inside = true;
    if (ticks.slowMs > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ticks.slowMs));
    }
    ++ticks.count;
    ticks.inside = false;
}

TEST(Timers, TickUntilStopped) {
    Ticks ticks;
    const int timer = platform::startTimer(10, countTick, &ticks);
    ASSERT_GT(timer, 0);
    EXPECT_EQ(platform::runningTimers(), 1);
    platform::sleepMs(200);
    platform::stopTimer(timer);
    const int counted = ticks.count;
    EXPECT_EQ(platform::runningTimers(), 0);
    // About twenty; loose, the machine may be busy.
    EXPECT_GE(counted, 3);
    EXPECT_LE(counted, 25);
    platform::sleepMs(40);
    EXPECT_EQ(ticks.count, counted);
}

TEST(Timers, NoCallbackRunsAfterStopReturns) {
    Ticks ticks[3];
    int handles[3];
    for (int i = 0; i < 3; ++i) {
        ticks[i].slowMs = 4 + 3 * i;  // stops land in the middle of a callback now and then
        handles[i] = platform::startTimer(1, countTick, &ticks[i]);
        ASSERT_GT(handles[i], 0);
    }
    EXPECT_NE(handles[0], handles[1]);
    EXPECT_NE(handles[1], handles[2]);
    EXPECT_EQ(platform::runningTimers(), 3);
    platform::sleepMs(30);
    int counted[3];
    for (int i = 2; i >= 0; --i) {
        platform::stopTimer(handles[i]);
        EXPECT_FALSE(ticks[i].inside) << "timer " << i;
        counted[i] = ticks[i].count;
        EXPECT_EQ(platform::runningTimers(), i);
    }
    platform::sleepMs(30);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ticks[i].count, counted[i]) << "timer " << i;
    }
}

TEST(Timers, StopWakesASleepingTimerAtOnce) {
    Ticks ticks;
    const int timer = platform::startTimer(60'000, countTick, &ticks);
    ASSERT_GT(timer, 0);
    const long long startedAt = nowMicros();
    platform::stopTimer(timer);
    EXPECT_LT(nowMicros() - startedAt, 10'000'000LL) << "stop should not wait for the next tick";
    EXPECT_EQ(ticks.count, 0);
}

TEST(Timers, BadRequestsAreRefusedAndStrayStopsHarmless) {
    Ticks ticks;
    EXPECT_EQ(platform::startTimer(0, countTick, &ticks), 0);
    EXPECT_EQ(platform::startTimer(-5, countTick, &ticks), 0);
    EXPECT_EQ(platform::startTimer(10, nullptr, &ticks), 0);
    EXPECT_EQ(platform::runningTimers(), 0);
    const int timer = platform::startTimer(10, countTick, &ticks);
    platform::stopTimer(timer + 1000);
    platform::stopTimer(0);
    EXPECT_EQ(platform::runningTimers(), 1);
    platform::stopTimer(timer);
    platform::stopTimer(timer);
    EXPECT_EQ(platform::runningTimers(), 0);
}

struct SelfStopping {
    std::atomic<int> handle{0};
    std::atomic<int> count{0};
};

void stopSelf(void* user) {
    auto& self = *static_cast<SelfStopping*>(user);
    ++self.count;
    while (self.handle == 0) {
        std::this_thread::yield();
    }
    platform::stopTimer(self.handle);
}

TEST(Timers, ACallbackMayStopItsOwnTimer) {
    SelfStopping self;
    self.handle = platform::startTimer(2, stopSelf, &self);
    ASSERT_GT(self.handle, 0);
    const long long deadline = nowMicros() + kPatienceMs * 1000LL;
    while (platform::runningTimers() > 0 && nowMicros() < deadline) {
        platform::sleepMs(2);
    }
    EXPECT_EQ(platform::runningTimers(), 0);
    platform::sleepMs(20);
    EXPECT_EQ(self.count, 1);
}

TEST(Clock, SleepLastsItsTime) {
    for (const int ms : {1, 4, 30}) {
        const long long startedAt = nowMicros();
        platform::sleepMs(ms);
        EXPECT_GE(nowMicros() - startedAt, ms * 1000LL) << ms << " ms";
    }
}

}  // namespace
