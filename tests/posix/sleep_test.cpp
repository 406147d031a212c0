// Sleeping through signals, in the test's own process (no terminal needed).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/time.h>

#include "console/platform.hpp"
#include "pty_child.hpp"

namespace {

void ignoreAlarm(int) {}

TEST(Clock, SleepLastsItsTimeThroughSignals) {
    struct sigaction action {};
    struct sigaction previous {};
    action.sa_handler = ignoreAlarm;
    ::sigaction(SIGALRM, &action, &previous);
    itimerval every5ms{{0, 5000}, {0, 5000}};
    itimerval off{};
    ::setitimer(ITIMER_REAL, &every5ms, nullptr);
    const long long startedAt = nowMicros();
    platform::sleepMs(60);
    const long long slept = nowMicros() - startedAt;
    ::setitimer(ITIMER_REAL, &off, nullptr);
    ::sigaction(SIGALRM, &previous, nullptr);
    EXPECT_GE(slept, 60'000);
}

}  // namespace
