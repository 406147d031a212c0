// The Windows console's input (run with a console: under Wine, through run_in_console.py).
// Records are put into the console's own input buffer, as the console puts typed keys there.
#include <windows.h>
//
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "console/platform.hpp"

namespace {

constexpr int kPatienceMs = 5000;

long long nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

HANDLE consoleInput() {
    return ::GetStdHandle(STD_INPUT_HANDLE);
}

INPUT_RECORD key(bool down, WORD virtualKey, wchar_t character, DWORD modifiers = 0,
                 WORD repeat = 1) {
    INPUT_RECORD record{};
    record.EventType = KEY_EVENT;
    record.Event.KeyEvent.bKeyDown = down;
    record.Event.KeyEvent.wRepeatCount = repeat;
    record.Event.KeyEvent.wVirtualKeyCode = virtualKey;
    record.Event.KeyEvent.uChar.UnicodeChar = character;
    record.Event.KeyEvent.dwControlKeyState = modifiers;
    return record;
}

INPUT_RECORD other(WORD type) {
    INPUT_RECORD record{};
    record.EventType = type;
    return record;
}

void put(const std::vector<INPUT_RECORD>& records) {
    DWORD written = 0;
    ASSERT_TRUE(::WriteConsoleInputW(consoleInput(), records.data(),
                                     static_cast<DWORD>(records.size()), &written));
    ASSERT_EQ(written, records.size());
}

std::string bytesReady() {
    std::string bytes;
    for (int byte = platform::readByte(0); byte >= 0; byte = platform::readByte(0)) {
        bytes += static_cast<char>(byte);
    }
    return bytes;
}

class ConsoleInput : public testing::Test {
  protected:
    void SetUp() override {
        DWORD mode = 0;
        ASSERT_TRUE(::GetConsoleMode(consoleInput(), &mode))
            << "standard input must be a console (run_in_console.py gives one under Wine)";
        ::FlushConsoleInputBuffer(consoleInput());
        bytesReady();
    }
};

TEST_F(ConsoleInput, RecordsBecomeTheBytesATerminalSends) {
    const bool up = false;
    const bool down = true;
    struct Case {
        const char* what;
        std::vector<INPUT_RECORD> records;
        std::string bytes;
    };
    const Case cases[] = {
        {"cursor keys",
         {key(down, VK_UP, 0), key(down, VK_DOWN, 0), key(down, VK_RIGHT, 0),
          key(down, VK_LEFT, 0)},
         "\x1b[A\x1b[B\x1b[C\x1b[D"},
        {"with Ctrl, still the plain key", {key(down, VK_UP, 0, LEFT_CTRL_PRESSED)}, "\x1b[A"},
        {"Enter", {key(down, VK_RETURN, L'\r'), key(up, VK_RETURN, L'\r')}, "\r"},
        {"Backspace", {key(down, VK_BACK, L'\b')}, "\b"},
        {"Escape", {key(down, VK_ESCAPE, 0x1b)}, "\x1b"},
        {"a letter, pressed and released", {key(down, 'A', L'a'), key(up, 'A', L'a')}, "a"},
        {"kana", {key(down, 0, L'あ'), key(up, 0, L'あ')}, "\xe3\x81\x82"},
        {"held down", {key(down, 'Z', L'z', 0, 3)}, "zzz"},
        {"beyond the basic plane, in two halves",
         {key(down, 0, 0xD83D), key(down, 0, 0xDE00)},
         "\xf0\x9f\x98\x80"},
        {"modifiers alone",
         {key(down, VK_SHIFT, 0, SHIFT_PRESSED), key(down, VK_CONTROL, 0, LEFT_CTRL_PRESSED),
          key(down, VK_MENU, 0, LEFT_ALT_PRESSED), key(up, VK_MENU, 0)},
         ""},
        {"other keys without a character", {key(down, VK_F1, 0), key(down, VK_HOME, 0)}, ""},
        {"Alt with a letter, as a meta key", {key(down, 'X', L'x', LEFT_ALT_PRESSED)}, "\x1bx"},
        {"AltGr makes a character",
         {key(down, 'Q', L'@', RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED)},
         "@"},
        {"Alt and keypad digits: the character comes with Alt's release",
         {key(down, VK_MENU, 0, LEFT_ALT_PRESSED), key(up, VK_MENU, L'é')},
         "\xc3\xa9"},
        {"focus, mouse and menu events",
         {other(FOCUS_EVENT), other(MOUSE_EVENT), other(MENU_EVENT)},
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        put(c.records);
        EXPECT_EQ(bytesReady(), c.bytes);
    }
}

TEST_F(ConsoleInput, AWaitEndsForAKeyOrATickButNotForRecordsWithoutBytes) {
    put({key(false, 'A', L'a'), key(true, VK_SHIFT, 0), other(FOCUS_EVENT)});
    long long startedAt = nowMs();
    platform::waitForInputOrTick(150);
    EXPECT_GE(nowMs() - startedAt, 140) << "woken by records that give no key";
    DWORD left = 99;
    ASSERT_TRUE(::GetNumberOfConsoleInputEvents(consoleInput(), &left));
    EXPECT_EQ(left, 0u) << "records without bytes must be taken, or the wait would spin";

    std::thread typist([] {
        ::Sleep(50);
        put({key(true, 'K', L'k')});
    });
    startedAt = nowMs();
    platform::waitForInputOrTick(kPatienceMs);
    EXPECT_LT(nowMs() - startedAt, kPatienceMs / 2) << "a key should end the wait";
    typist.join();
    EXPECT_EQ(platform::readByte(0), 'k');

    const int timer = platform::startTimer(
        20, [](void*) {}, nullptr);
    ASSERT_GT(timer, 0);
    startedAt = nowMs();
    platform::waitForInputOrTick(kPatienceMs);
    EXPECT_LT(nowMs() - startedAt, kPatienceMs / 2) << "a tick should end the wait";
    platform::stopTimer(timer);
}

TEST_F(ConsoleInput, AReadWaitsForItsKeyAndTimesOut) {
    long long startedAt = nowMs();
    EXPECT_EQ(platform::readByte(60), platform::kNoByte);
    EXPECT_GE(nowMs() - startedAt, 55);
    std::thread typist([] {
        ::Sleep(50);
        put({key(true, VK_RETURN, L'\r')});
    });
    EXPECT_EQ(platform::readByte(-1), '\r');
    typist.join();
}

// A changed window asks for the page to be drawn again, as SIGWINCH does on POSIX: a read or a
// pause ends for it at once. Keys typed during a pause are kept.
TEST_F(ConsoleInput, AResizedWindowAsksForARepaint) {
    platform::start();
    platform::takeResumed();
    INPUT_RECORD resized = other(WINDOW_BUFFER_SIZE_EVENT);
    resized.Event.WindowBufferSizeEvent.dwSize = COORD{100, 50};
    put({resized});
    long long startedAt = nowMs();
    EXPECT_EQ(platform::readByte(kPatienceMs), platform::kNoByte);
    EXPECT_LT(nowMs() - startedAt, kPatienceMs / 2);
    EXPECT_TRUE(platform::takeResumed());

    std::thread resizer([resized] {
        ::Sleep(50);
        put({key(true, 'q', L'q'), resized});
    });
    startedAt = nowMs();
    platform::sleepMs(kPatienceMs);
    EXPECT_LT(nowMs() - startedAt, kPatienceMs / 2) << "the pause should end for the repaint";
    resizer.join();
    EXPECT_TRUE(platform::takeResumed());
    EXPECT_EQ(platform::readByte(0), 'q');
}

}  // namespace
