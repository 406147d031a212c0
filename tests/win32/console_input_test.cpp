// The Windows console's input (run with a console: under Wine, through run_in_console.py).
// Records are put into the console's own input buffer, as the console puts typed keys there.
#include <windows.h>
//
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "platform/platform.hpp"
#include "platform/waiting.hpp"

namespace {

INPUT_RECORD key(WORD virtualKey, wchar_t character = 0, DWORD modifiers = 0, WORD repeat = 1,
                 BOOL down = TRUE) {
    INPUT_RECORD record{KEY_EVENT, {}};
    record.Event.KeyEvent = {down, repeat, virtualKey, 0, {character}, modifiers};
    return record;
}

INPUT_RECORD released(WORD virtualKey, wchar_t character = 0) {
    return key(virtualKey, character, 0, 1, FALSE);
}

INPUT_RECORD other(WORD type) {
    return INPUT_RECORD{type, {}};
}

void put(const std::vector<INPUT_RECORD>& records) {
    DWORD written = 0;
    ::WriteConsoleInputW(::GetStdHandle(STD_INPUT_HANDLE), records.data(),
                         static_cast<DWORD>(records.size()), &written);
    ASSERT_EQ(written, records.size()) << "standard input must be a console";
}

// Puts the records in a moment from now, while the test waits.
void putSoon(std::vector<INPUT_RECORD> records) {
    std::thread([records] {
        ::Sleep(50);
        put(records);
    }).detach();
}

std::string bytesReady() {
    std::string bytes;
    for (int byte = platform::readByte(0); byte >= 0; byte = platform::readByte(0)) {
        bytes += static_cast<char>(byte);
    }
    return bytes;
}

TEST(ConsoleInput, RecordsBecomeTheBytesATerminalSends) {
    const std::tuple<const char*, std::vector<INPUT_RECORD>, std::string> cases[] = {
        {"up, down", {key(VK_UP), key(VK_DOWN)}, "\x1b[A\x1b[B"},
        {"right, left", {key(VK_RIGHT), key(VK_LEFT)}, "\x1b[C\x1b[D"},
        {"up with Ctrl, still the plain key", {key(VK_UP, 0, LEFT_CTRL_PRESSED)}, "\x1b[A"},
        {"Escape and Backspace", {key(VK_ESCAPE, 0x1b), key(VK_BACK, L'\b')}, "\x1b\b"},
        {"a letter, pressed and released", {key('A', L'a'), released('A', L'a')}, "a"},
        {"kana", {key(0, L'あ'), released(0, L'あ')}, "\xe3\x81\x82"},
        {"held down", {key('Z', L'z', 0, 3)}, "zzz"},
        // A character beyond the basic plane, in two halves.
        {"in two halves", {key(0, 0xD83D), key(0, 0xDE00)}, "\xf0\x9f\x98\x80"},
        {"no character: modifiers alone, other keys, other events",
         {key(VK_SHIFT, 0, SHIFT_PRESSED), key(VK_CONTROL, 0, LEFT_CTRL_PRESSED),
          key(VK_MENU, 0, LEFT_ALT_PRESSED), released(VK_MENU), key(VK_F1), key(VK_HOME),
          other(FOCUS_EVENT), other(MOUSE_EVENT), other(MENU_EVENT)},
         ""},
        {"Alt with a letter, as a meta key", {key('X', L'x', LEFT_ALT_PRESSED)}, "\x1bx"},
        {"AltGr makes a character", {key('Q', L'@', RIGHT_ALT_PRESSED | LEFT_CTRL_PRESSED)}, "@"},
        // The character typed as Alt and keypad digits comes with Alt's release.
        {"Alt+digits", {key(VK_MENU, 0, LEFT_ALT_PRESSED), released(VK_MENU, L'é')}, "\xc3\xa9"},
    };
    ::FlushConsoleInputBuffer(::GetStdHandle(STD_INPUT_HANDLE));
    for (const auto& [what, records, bytes] : cases) {
        SCOPED_TRACE(what);
        put(records);
        EXPECT_EQ(bytesReady(), bytes);
    }
}

// Records that give no bytes are taken without ending a wait (or making it spin); a key, a tick
// and the time running out end it.
TEST(ConsoleInput, WaitsEndForAKeyATickOrTheirTime) {
    put({released('A', L'a'), key(VK_SHIFT), other(FOCUS_EVENT)});
    EXPECT_GE(msOf([] { platform::waitForInputOrTick(150); }), 140);
    DWORD left = 99;
    ::GetNumberOfConsoleInputEvents(::GetStdHandle(STD_INPUT_HANDLE), &left);
    EXPECT_EQ(left, 0u);
    EXPECT_GE(msOf([] { EXPECT_EQ(platform::readByte(60), platform::kNoByte); }), 55);

    putSoon({key('K', L'k')});
    EXPECT_LT(msOf([] { platform::waitForInputOrTick(kPatienceMs); }), kPatienceMs / 2);
    EXPECT_EQ(platform::readByte(0), 'k');
    putSoon({key(VK_RETURN, L'\r')});
    EXPECT_EQ(platform::readByte(-1), '\r');

    const int timer = platform::startTimer(
        20, [](void*) {}, nullptr);
    EXPECT_LT(msOf([] { platform::waitForInputOrTick(kPatienceMs); }), kPatienceMs / 2);
    platform::stopTimer(timer);
}

// A changed window asks for the page to be drawn again, as SIGWINCH does on POSIX: a read or a
// pause ends for it at once. Keys typed during a pause are kept.
TEST(ConsoleInput, AResizedWindowAsksForARepaint) {
    platform::start();
    platform::takeResumed();
    const INPUT_RECORD resized = other(WINDOW_BUFFER_SIZE_EVENT);
    put({resized});
    EXPECT_LT(msOf([] { EXPECT_EQ(platform::readByte(kPatienceMs), platform::kNoByte); }),
              kPatienceMs / 2);
    EXPECT_TRUE(platform::takeResumed());
    putSoon({key('q', L'q'), resized});
    EXPECT_LT(msOf([] { platform::sleepMs(kPatienceMs); }), kPatienceMs / 2);
    EXPECT_TRUE(platform::takeResumed());
    EXPECT_EQ(platform::readByte(0), 'q');
}

}  // namespace
