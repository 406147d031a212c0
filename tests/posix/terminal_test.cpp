// The terminal is taken for the game and given back exactly as it was, on every way out, and
// a page lost to a suspend or a resize is asked for again.
#include <gtest/gtest.h>
#include <signal.h>

#include <tuple>

#include "platform/platform.hpp"
#include "pty_child.hpp"

namespace {

constexpr std::string_view kTake = "\x1b[?1049h\x1b[?7l";
// The cursor on the bottom row (column 1) before the alternate screen is left.
constexpr std::string_view kRestore = "\x1b[r\x1b[999;1H\x1b[?7h\x1b[?25h\x1b[?1049l";

void noTick(void*) {}

// Takes the terminal, tells its size and reads keys, saying when the page is to be drawn again:
// s pauses for a minute; Enter ends the game with a message, as the game's fatal exits do.
void play() {
    platform::start();
    platform::startTimer(5, noTick, nullptr);  // a live timer must not spoil the exit
    const platform::WindowSize size = platform::windowSize();
    report("taken " + std::to_string(size.columns) + "x" + std::to_string(size.rows) + "\n");
    for (;;) {
        const int byte = platform::readByte(-1);
        if (byte == platform::kNoByte && platform::takeResumed()) {
            report("resumed\n");
        } else if (byte == 's') {
            report("pausing\n");
            platform::sleepMs(60'000);
            report(platform::takeResumed() ? "woke\n" : "slept\n");
        } else if (byte == '\r') {
            platform::exitProcess(7, "pervaro: Error!\n");
        }
    }
}

void expectExit(PtyChild& child, int signal) {
    const int status = child.waitForExit();
    if (signal == 0) {
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 7) << status << child.describe();
        EXPECT_TRUE(child.reported().ends_with("\npervaro: Error!\n")) << child.describe();
    } else {
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal)
            << status << child.describe();
    }
    EXPECT_EQ(child.modes(), child.modes(true));
    EXPECT_TRUE(child.output().starts_with(kTake)) << child.describe();
    EXPECT_TRUE(child.output().ends_with(kRestore)) << child.describe();
}

// The row's name, a signal sent first (or 0), keys typed then, the signal that ends the game (or
// 0 for its exit with status 7), and whether SIGHUP is ignored from the start, as under nohup.
using Ending = std::tuple<const char*, int, const char*, int, bool>;
class TerminalEnds : public testing::TestWithParam<Ending> {};

TEST_P(TerminalEnds, GivesTheTerminalBackAsItWas) {
    const auto& [name, sent, typed, endsBy, nohup] = GetParam();
    PtyChild child([this] {
        if (std::get<4>(GetParam())) {
            ::signal(SIGHUP, SIG_IGN);
        }
        play();
    });
    ASSERT_TRUE(child.waitForReport("taken 100x50\n")) << child.describe();
    ASSERT_TRUE(child.modes().starts_with("raw")) << child.modes();
    // Typed keys need the same care as signals.
    child.signal(sent);
    child.type(typed);
    expectExit(child, endsBy);
}

INSTANTIATE_TEST_SUITE_P(Signals, TerminalEnds,
                         testing::Values(Ending{"Exit", 0, "\r", 0, false},
                                         Ending{"TypedCtrlC", 0, "\x03", SIGINT, false},
                                         Ending{"Interrupt", SIGINT, "", SIGINT, false},
                                         Ending{"Terminate", SIGTERM, "", SIGTERM, false},
                                         Ending{"HangUp", SIGHUP, "", SIGHUP, false},
                                         Ending{"TypedQuit", 0, "\x1c", SIGQUIT, false},
                                         Ending{"Abort", SIGABRT, "", SIGABRT, false},
                                         Ending{"HangUpUnderNohup", SIGHUP, "\r", 0, true}),
                         [](const auto& row) { return std::string(std::get<0>(row.param)); });

// Ctrl-Z hands the shell the terminal as it was; going on takes it back and asks for a repaint.
TEST(Terminal, SuspendGivesItBackAndResumeTakesItAgain) {
    PtyChild child(play, false);
    ASSERT_TRUE(child.waitForReport("taken")) << child.describe();
    const std::string raw = child.modes();
    ASSERT_TRUE(raw.starts_with("raw")) << raw;
    child.signal(SIGTSTP);
    const int stopped = child.waitForExit(kPatienceMs, WUNTRACED);
    ASSERT_TRUE(WIFSTOPPED(stopped) && WSTOPSIG(stopped) == SIGTSTP) << stopped;
    EXPECT_EQ(child.modes(), child.modes(true));
    EXPECT_TRUE(child.waitForOutput(kRestore)) << child.describe();

    ::kill(child.pid(), SIGCONT);
    ASSERT_TRUE(child.waitForReport("resumed")) << child.describe();
    EXPECT_EQ(child.modes(), raw);
    EXPECT_EQ(countOf(child.output(), kTake), 2) << child.describe();

    // Stopped without a chance to give the terminal back: the shell sets its own modes, and
    // going on takes the terminal again all the same.
    ::kill(child.pid(), SIGSTOP);
    ASSERT_TRUE(WIFSTOPPED(child.waitForExit(kPatienceMs, WUNTRACED))) << child.describe();
    child.setModesAsBefore();
    ::kill(child.pid(), SIGCONT);
    ASSERT_TRUE(child.waitForReport("resumed", 2)) << child.describe();
    EXPECT_EQ(child.modes(), raw);
    child.type("\r");
    expectExit(child, 0);
}

// Made smaller and larger again, the window has lost the page: a waiting read wakes to draw it,
// and so does a long pause, so an enlarged window shows its page at once.
TEST(Terminal, AResizedWindowAsksForARepaint) {
    PtyChild child(play);
    ASSERT_TRUE(child.waitForReport("taken")) << child.describe();
    child.signal(SIGWINCH);
    ASSERT_TRUE(child.waitForReport("resumed")) << child.describe();
    child.type("s");
    ASSERT_TRUE(child.waitForReport("pausing")) << child.describe();
    child.signal(SIGWINCH);
    EXPECT_TRUE(child.waitForReport("woke")) << child.describe();
    child.type("\r");
    expectExit(child, 0);
}

}  // namespace
