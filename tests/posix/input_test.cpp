// Input bytes through the terminal and through pipes, waits that cost no CPU, and the console's
// key decoding on a real terminal.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "console/console.hpp"
#include "console/platform.hpp"
#include "pty_child.hpp"

namespace {

std::string numbers(std::initializer_list<long long> values) {
    std::string text;
    for (const long long value : values) {
        text += (text.empty() ? "" : " ") + std::to_string(value);
    }
    return text + "\n";
}

void noTick(void*) {}
void onSignal(int) {}

TEST(Input, BytesArriveAsTypedAndWaitsTimeOutIdle) {
    PtyChild child([] {
        platform::start();
        const int looked = platform::readByte(0);
        const long long startedAt = nowMicros();
        const long long cpuBefore = cpuMicros();
        const int waited = platform::readByte(150);
        report("idle " + numbers({looked, waited, (nowMicros() - startedAt) / 1000,
                                  (cpuMicros() - cpuBefore) / 1000}));
        int bytes[4];
        for (int& byte : bytes) {
            byte = platform::readByte(kPatienceMs);
        }
        report("bytes " + numbers({bytes[0], bytes[1], bytes[2], bytes[3]}));

        // A signal that is not a resume does not cut the wait short.
        struct sigaction action {};
        action.sa_handler = onSignal;
        ::sigaction(SIGUSR1, &action, nullptr);
        report("waiting\n");
        const int afterSignal = platform::readByte(kPatienceMs);
        report("after signal " + numbers({afterSignal}));
        platform::exitProcess(0, "");
    });
    long long looked = 0, waited = 0, waitedMs = 0, cpuMs = 0;
    ASSERT_EQ(std::sscanf(child.reportedLine("idle ").c_str(), "%lld %lld %lld %lld", &looked,
                          &waited, &waitedMs, &cpuMs),
              4)
        << child.describe();
    EXPECT_EQ(looked, platform::kNoByte);
    EXPECT_EQ(waited, platform::kNoByte);
    EXPECT_GE(waitedMs, 145);
    EXPECT_LT(cpuMs, 75) << "the wait should block, not spin";

    // Carriage return and Delete stay as they are in raw mode; bytes above 127 are not negative.
    child.type("a\r\x7f\xe3");
    EXPECT_EQ(child.reportedLine("bytes "), "97 13 127 227") << child.describe();

    ASSERT_TRUE(child.waitForReport("waiting")) << child.describe();
    child.waitUntilPolling();
    ::kill(child.pid(), SIGUSR1);
    ::usleep(20'000);
    child.type("q");
    EXPECT_EQ(child.reportedLine("after signal "), "113") << child.describe();
    EXPECT_EQ(child.waitForExit(), 0) << child.describe();
}

struct EndOfInput {
    const char* name;
    ChildInput input;
    const char* typed;
    bool hangUp;
    const char* expected;  // the bytes read, then what a second read and a blocking read give
};

void PrintTo(const EndOfInput& row, std::ostream* out) {
    *out << row.name;
}

class InputEnds : public testing::TestWithParam<EndOfInput> {};

// The end is reported at once and again on every later read: never a hang, never a spin.
TEST_P(InputEnds, IsReportedEveryTime) {
    const EndOfInput& end = GetParam();
    PtyChild child(
        [] {
            platform::start();
            std::string seen;
            for (int i = 0; i < 10; ++i) {
                const int byte = platform::readByte(kPatienceMs);
                seen += std::to_string(byte) + " ";
                if (byte == platform::kEndOfInput) {
                    break;
                }
            }
            platform::waitForInputOrTick(-1);
            seen += std::to_string(platform::readByte(-1));
            report("read " + seen + "\n");
            platform::exitProcess(0, "");
        },
        {.input = end.input, .controllingTerminal = false});
    child.type(end.typed);
    child.closeInput();
    if (end.hangUp) {
        ASSERT_TRUE(child.waitForOutput("\x1b[?1049h")) << child.describe();
        child.hangUp();
    }
    EXPECT_EQ(child.reportedLine("read "), end.expected) << child.describe();
    const int status = child.waitForExit();
    EXPECT_TRUE(WIFEXITED(status)) << status << "\n" << child.describe();
}

INSTANTIATE_TEST_SUITE_P(
    Sources, InputEnds,
    testing::Values(EndOfInput{"ClosedPipe", ChildInput::Pipe, "xy", false, "120 121 -2 -2"},
                    EndOfInput{"DevNull", ChildInput::DevNull, "", false, "-2 -2"},
                    EndOfInput{"HungUpTerminal", ChildInput::Terminal, "", true, "-2 -2"}),
    [](const auto& row) { return std::string(row.param.name); });

TEST(Input, WaitEndsOnATickOrOnInputAndConsumesNothing) {
    PtyChild child([] {
        platform::start();
        platform::waitForInputOrTick(0);  // ticks the test's own timers left before the fork
        long long startedAt = nowMicros();
        platform::waitForInputOrTick(60);
        report("timeout " + numbers({(nowMicros() - startedAt) / 1000}));

        const int timer = platform::startTimer(20, noTick, nullptr);
        startedAt = nowMicros();
        platform::waitForInputOrTick(kPatienceMs);
        report("tick " + numbers({(nowMicros() - startedAt) / 1000}));
        platform::stopTimer(timer);
        platform::waitForInputOrTick(0);  // forget ticks that came since

        report("ready\n");
        startedAt = nowMicros();
        platform::waitForInputOrTick(kPatienceMs);
        const long long waitedMs = (nowMicros() - startedAt) / 1000;
        report("input " + numbers({waitedMs, platform::readByte(0)}));
        platform::exitProcess(0, "");
    });
    long long waitedMs = 0;
    int byte = 0;
    ASSERT_EQ(std::sscanf(child.reportedLine("timeout ").c_str(), "%lld", &waitedMs), 1);
    EXPECT_GE(waitedMs, 55);
    ASSERT_EQ(std::sscanf(child.reportedLine("tick ").c_str(), "%lld", &waitedMs), 1);
    EXPECT_LT(waitedMs, kPatienceMs / 2) << "a tick should end the wait";
    ASSERT_TRUE(child.waitForReport("ready")) << child.describe();
    child.type("k");
    ASSERT_EQ(std::sscanf(child.reportedLine("input ").c_str(), "%lld %d", &waitedMs, &byte), 2);
    EXPECT_LT(waitedMs, kPatienceMs / 2) << "input should end the wait";
    EXPECT_EQ(byte, 'k');
    EXPECT_EQ(child.waitForExit(), 0) << child.describe();
}

// The console layer on a real terminal: it asks how wide ● is drawn, then decodes keys.
TEST(Input, ConsoleDecodesKeysFromTheTerminal) {
    PtyChild child([] {
        initConsole();
        const int first = readKey();
        const int second = readKey();
        report("arrow " + numbers({first, second}));
        report("escape " + numbers({readKey()}));
        const long long deadline = nowMicros() + kPatienceMs * 1000LL;
        while (!keyPending() && nowMicros() < deadline) {
            sleepMs(5);
        }
        const bool stays = keyPending();
        report("pending " + numbers({stays, readKey()}));
        endProgram(0);
    });
    ASSERT_TRUE(child.waitForOutput("\x1b[6n")) << child.describe();
    child.type("\x1b[1;2R");
    child.type("\x1b[15~\x1b[A");  // a function key is dropped whole
    EXPECT_EQ(child.reportedLine("arrow "), "0 72") << child.describe();
    child.type("\x1b");
    EXPECT_EQ(child.reportedLine("escape "), "27") << child.describe();
    child.type("z");
    EXPECT_EQ(child.reportedLine("pending "), "1 122") << child.describe();
    EXPECT_EQ(child.waitForExit(), 0) << child.describe();
}

}  // namespace
