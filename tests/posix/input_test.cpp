// Input bytes through the terminal and through pipes, and waits that end for a byte, a tick or
// their time, costing no CPU meanwhile.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <ctime>

#include "platform/platform.hpp"
#include "pty_child.hpp"

namespace {

void noTick(void*) {}

// In the child: a line for the test, saying whether a check held.
void check(bool held, const std::string& what) {
    report(what + (held ? ": yes\n" : ": NO\n"));
}

TEST(Input, WaitsEndForAByteATickOrTheirTime) {
    PtyChild child([] {
        platform::start();
        platform::waitForInputOrTick(0);  // ticks of the test's own timers, left before the fork
        const std::clock_t cpu = std::clock();
        check(platform::readByte(0) == platform::kNoByte, "a look finds nothing");
        check(
            msOf([] { check(platform::readByte(150) == platform::kNoByte, "nor a read"); }) >= 145,
            "which times out");
        check(std::clock() - cpu < CLOCKS_PER_SEC / 20, "blocking, not spinning");
        check(msOf([] { platform::waitForInputOrTick(60); }) >= 55, "a wait times out");
        const int timer = platform::startTimer(20, noTick, nullptr);
        check(msOf([] { platform::waitForInputOrTick(kPatienceMs); }) < kPatienceMs / 2,
              "a tick ends a wait");
        platform::stopTimer(timer);
        platform::waitForInputOrTick(0);  // forget ticks that came since
        report("ready\n");
        check(msOf([] { platform::waitForInputOrTick(kPatienceMs); }) < kPatienceMs / 2,
              "a byte ends a wait and is left to read");
        std::string bytes = "bytes";
        for (int i = 0; i < 4; ++i) {
            bytes += " " + std::to_string(platform::readByte(kPatienceMs));
        }
        report(bytes + "\n");
        // A signal that is not a resume does not cut a read short.
        struct sigaction action {};
        action.sa_handler = [](int) {};
        ::sigaction(SIGUSR1, &action, nullptr);
        report("waiting\n");
        report("after signal " + std::to_string(platform::readByte(kPatienceMs)) + "\n");
        platform::exitProcess(0, "");
    });
    ASSERT_TRUE(child.waitForReport("ready")) << child.describe();
    // Carriage return and Delete stay as they are in raw mode; bytes above 127 are not negative.
    child.type("a\r\x7f\xe3");
    EXPECT_TRUE(child.waitForReport("bytes 97 13 127 227\n")) << child.describe();
    ASSERT_TRUE(child.waitForReport("waiting")) << child.describe();
    child.signal(SIGUSR1);
    ::usleep(20'000);  // the signal first, then the key
    child.type("q");
    EXPECT_TRUE(child.waitForReport("after signal 113\n")) << child.describe();
    EXPECT_EQ(child.waitForExit(), 0) << child.describe();
    EXPECT_EQ(countOf(child.reported(), ": yes"), 7) << child.describe();
}

class InputEnds : public testing::TestWithParam<bool> {};

// The end is reported at once and again on every later read: never a hang, never a spin. Pipes
// are left alone: no modes set, no screen switched, the size the console's own.
TEST_P(InputEnds, IsReportedEveryTime) {
    const bool pipes = GetParam();
    PtyChild child(
        [pipes] {
            int input[2];
            if (pipes &&
                (::pipe(input) != 0 || ::write(input[1], "xy", 2) != 2 || ::close(input[1]) != 0 ||
                 ::dup2(input[0], 0) != 0 || ::dup2(2, 1) != 1)) {
                return;
            }
            const platform::WindowSize size = platform::windowSize();  // before any hang-up
            platform::start();
            if (pipes) {
                platform::writeBytes("page");
            }
            std::string seen = "read";
            for (int i = 0, byte = 0; i < 10 && byte != platform::kEndOfInput; ++i) {
                byte = platform::readByte(kPatienceMs);
                seen += " " + std::to_string(byte);
            }
            platform::waitForInputOrTick(-1);
            seen += " " + std::to_string(platform::readByte(-1));
            report(seen + " " + std::to_string(size.columns) + "x" + std::to_string(size.rows) +
                   "\n");
            platform::exitProcess(0, "");
        },
        false);
    if (!pipes) {
        ASSERT_TRUE(child.waitForOutput("\x1b[?1049h")) << child.describe();
        child.hangUp();
    }
    const std::string line = pipes ? "pageread 120 121 -2 -2 80x41\n" : "read -2 -2 100x50\n";
    EXPECT_TRUE(child.waitForReport(line)) << child.describe();
    EXPECT_EQ(child.waitForExit(), 0) << child.describe();
    EXPECT_EQ(child.reported(), line) << "a page through a pipe goes out as it is, alone";
    EXPECT_EQ(countOf(child.output() + child.reported(), "\x1b[?1049h"), pipes ? 0 : 1)
        << child.describe();
}

INSTANTIATE_TEST_SUITE_P(Sources, InputEnds, testing::Bool(), [](const auto& row) {
    return std::string(row.param ? "ClosedPipe" : "HungUpTerminal");
});

}  // namespace
