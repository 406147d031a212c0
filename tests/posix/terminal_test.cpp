// The terminal is taken for the game and given back exactly as it was, on every way out.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include "console/platform.hpp"
#include "pty_child.hpp"

namespace {

constexpr std::string_view kTake = "\x1b[?1049h\x1b[?7l";
// The cursor on the bottom row (column 1) before the alternate screen is left.
constexpr std::string_view kRestore = "\x1b[r\x1b[999;1H\x1b[?7h\x1b[?25h\x1b[?1049l";

void noTick(void*) {}

// Takes the terminal and reads keys; Enter ends the game with a message, as the game's fatal
// exits do.
void playUntilEnter() {
    platform::start();
    platform::startTimer(5, noTick, nullptr);  // a live timer must not spoil the exit
    report("taken\n");
    for (;;) {
        const int byte = platform::readByte(-1);
        if (byte == '\r') {
            platform::exitProcess(7, "pervaro: Error!\n");
        }
    }
}

TEST(Terminal, ExitGivesTheTerminalBackAsItWas) {
    PtyChild child(playUntilEnter);
    ASSERT_TRUE(child.waitForReport("taken")) << child.describe();
    EXPECT_TRUE(isRaw(child.modes())) << describeModes(child.modes());

    child.type("\r");
    const int status = child.waitForExit();
    ASSERT_TRUE(WIFEXITED(status)) << status << "\n" << child.describe();
    EXPECT_EQ(WEXITSTATUS(status), 7) << child.describe();
    EXPECT_TRUE(sameModes(child.modes(), child.originalModes()))
        << describeModes(child.modes()) << " instead of " << describeModes(child.originalModes());
    EXPECT_EQ(child.output().find(kTake), 0u) << child.describe();
    EXPECT_TRUE(child.output().ends_with(kRestore)) << child.describe();
    EXPECT_EQ(child.errors(), "pervaro: Error!\n");
}

struct EndingSignal {
    const char* name;
    int signal;
    const char* typed;  // sent as a key when not empty, else sent with kill
};

void PrintTo(const EndingSignal& row, std::ostream* out) {
    *out << row.name;
}

class TerminalOnSignal : public testing::TestWithParam<EndingSignal> {};

TEST_P(TerminalOnSignal, IsGivenBackAndTheSignalEndsTheProcess) {
    const EndingSignal& ending = GetParam();
    PtyChild child(playUntilEnter);
    ASSERT_TRUE(child.waitForReport("taken")) << child.describe();
    ASSERT_TRUE(isRaw(child.modes())) << describeModes(child.modes());
    child.waitUntilPolling();

    if (*ending.typed != '\0') {
        child.type(ending.typed);
    } else {
        ::kill(child.pid(), ending.signal);
    }
    const int status = child.waitForExit();
    ASSERT_TRUE(WIFSIGNALED(status)) << status << "\n" << child.describe();
    EXPECT_EQ(WTERMSIG(status), ending.signal);
    EXPECT_TRUE(sameModes(child.modes(), child.originalModes()))
        << describeModes(child.modes()) << " instead of " << describeModes(child.originalModes());
    EXPECT_TRUE(child.output().ends_with(kRestore)) << child.describe();
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminalOnSignal,
                         testing::Values(EndingSignal{"TypedCtrlC", SIGINT, "\x03"},
                                         EndingSignal{"Interrupt", SIGINT, ""},
                                         EndingSignal{"Terminate", SIGTERM, ""},
                                         EndingSignal{"HangUp", SIGHUP, ""},
                                         EndingSignal{"TypedQuit", SIGQUIT, "\x1c"},
                                         EndingSignal{"Abort", SIGABRT, ""}),
                         [](const auto& row) { return std::string(row.param.name); });

// Started with nohup: a hang-up does not end the game.
TEST(Terminal, AnIgnoredSignalStaysIgnored) {
    PtyChild child([] {
        ::signal(SIGHUP, SIG_IGN);
        playUntilEnter();
    });
    ASSERT_TRUE(child.waitForReport("taken")) << child.describe();
    child.waitUntilPolling();
    ::kill(child.pid(), SIGHUP);
    child.type("\r");
    const int status = child.waitForExit();
    ASSERT_TRUE(WIFEXITED(status)) << status << "\n" << child.describe();
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

// Reads keys and says when the page is to be drawn again; q ends it.
void reportRepaints() {
    platform::start();
    report("taken\n");
    for (;;) {
        const int byte = platform::readByte(-1);
        if (byte == platform::kNoByte && platform::takeResumed()) {
            report("resumed\n");
        } else if (byte == 'q') {
            platform::exitProcess(0, "");
        }
    }
}

// Ctrl-Z hands the shell the terminal as it was; going on takes it back and asks for a repaint.
TEST(Terminal, SuspendGivesItBackAndResumeTakesItAgain) {
    PtyChild child(reportRepaints, {.controllingTerminal = false});
    ASSERT_TRUE(child.waitForReport("taken")) << child.describe();
    const termios raw = child.modes();
    ASSERT_TRUE(isRaw(raw)) << describeModes(raw);

    child.waitUntilPolling();
    ::kill(child.pid(), SIGTSTP);
    const int stopped = child.waitForStop();
    ASSERT_TRUE(WIFSTOPPED(stopped)) << stopped << "\n" << child.describe();
    EXPECT_EQ(WSTOPSIG(stopped), SIGTSTP);
    EXPECT_TRUE(sameModes(child.modes(), child.originalModes())) << describeModes(child.modes());
    EXPECT_TRUE(child.waitForOutput(kRestore)) << child.describe();

    ::kill(child.pid(), SIGCONT);
    ASSERT_TRUE(child.waitForReport("resumed")) << child.describe();
    EXPECT_TRUE(sameModes(child.modes(), raw)) << describeModes(child.modes());
    EXPECT_EQ(countOf(child.output(), kTake), 2) << child.describe();

    // Stopped without a chance to give the terminal back: the shell sets its own modes, and
    // going on takes the terminal again all the same.
    ::kill(child.pid(), SIGSTOP);
    ASSERT_TRUE(WIFSTOPPED(child.waitForStop())) << child.describe();
    child.setModes(child.originalModes());
    ::kill(child.pid(), SIGCONT);
    ASSERT_TRUE(child.waitForReport("resumed", 2)) << child.describe();
    EXPECT_TRUE(sameModes(child.modes(), raw)) << describeModes(child.modes());

    child.type("q");
    const int status = child.waitForExit();
    ASSERT_TRUE(WIFEXITED(status)) << status << "\n" << child.describe();
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(sameModes(child.modes(), child.originalModes())) << describeModes(child.modes());
}

// Made smaller and larger again, the window has lost the page: a waiting read wakes to draw it.
TEST(Terminal, AResizedWindowAsksForARepaint) {
    PtyChild child(reportRepaints);
    ASSERT_TRUE(child.waitForReport("taken")) << child.describe();
    child.waitUntilPolling();
    ::kill(child.pid(), SIGWINCH);
    ASSERT_TRUE(child.waitForReport("resumed")) << child.describe();
    child.waitUntilPolling();
    ::kill(child.pid(), SIGWINCH);
    ASSERT_TRUE(child.waitForReport("resumed", 2)) << child.describe();
    child.type("q");
    const int status = child.waitForExit();
    ASSERT_TRUE(WIFEXITED(status)) << status << "\n" << child.describe();
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

// A long pause wakes for the repaint too, so an enlarged window shows its page at once.
TEST(Terminal, AResizeCutsAPauseShort) {
    PtyChild child([] {
        platform::start();
        report("taken\n");
        platform::sleepMs(60'000);
        report(platform::takeResumed() ? "woke\n" : "slept\n");
        platform::exitProcess(0, "");
    });
    ASSERT_TRUE(child.waitForReport("taken")) << child.describe();
    child.waitUntilPolling();
    ::kill(child.pid(), SIGWINCH);
    EXPECT_TRUE(child.waitForReport("woke")) << child.describe();
    EXPECT_TRUE(WIFEXITED(child.waitForExit())) << child.describe();
}

// Scripted through pipes: no modes to set, no screen to switch, the size is the console's.
TEST(Terminal, PipesAreLeftAlone) {
    PtyChild child(
        [] {
            platform::start();
            platform::writeBytes("page");
            const platform::WindowSize size = platform::windowSize();
            report("size " + std::to_string(size.columns) + "x" + std::to_string(size.rows) + "\n");
            platform::exitProcess(0, "");
        },
        {.input = ChildInput::Pipe, .output = ChildOutput::Pipe});
    const int status = child.waitForExit();
    ASSERT_TRUE(WIFEXITED(status)) << status << "\n" << child.describe();
    EXPECT_EQ(child.output(), "page");
    EXPECT_EQ(child.reportedLine("size "), "80x41");
    EXPECT_TRUE(sameModes(child.modes(), child.originalModes()));
}

TEST(Terminal, WindowSizeComesFromTheTerminal) {
    PtyChild child([] {
        const platform::WindowSize size = platform::windowSize();
        report("size " + std::to_string(size.columns) + "x" + std::to_string(size.rows) + "\n");
    });
    EXPECT_EQ(child.reportedLine("size "), "100x50") << child.describe();
}

}  // namespace
