// The console layer on the virtual terminal: what a player sees and what keys give.
#include "console/pictures.hpp"
#include "console/screen.hpp"
#include "support/play.hpp"

// What keys the bytes give to readKey ('k'), or numbers to readInt ('n', kNone where it takes
// no number and drops the line).
TEST(Keys, DecodingAndNumberLines) {
    constexpr int kNone = -99;
    // clang-format off
    const std::tuple<std::string, char, std::vector<int>> cases[] = {
        {"12 \r\n\n5", 'k', {'1', '2', ' ', 13, 13, '5'}},  // CR LF is one Enter, LF another
        {"\x1b[A\x1b[B\x1b[C\x1b[D", 'k', {0, 72, 0, 80, 0, 77, 0, 75}},
        {"\x1bOA\x1bOD", 'k', {0, 72, 0, 75}},  // application cursor keys
        {"\x1b", 'k', {27}}, {"\x1b\x1b[A", 'k', {27, 0, 72}},
        // Function keys, mouse reports, string sequences and Alt keys are swallowed.
        {"\x1b[15~\x1bOP\x1b[1;5H7\x1b[M !!\x1b[<0;10;5M8\x1b]11;rgb:0/0/0\a9\x1bx4", 'k',
         {'7', '8', '9', '4'}},
        {std::string("\x7f\x08あ\0001", 7), 'k', {8, 8, 0x3042, '1'}},  // NUL is dropped
        {"  -12 +3\r", 'n', {-12, 3}},  // the rest of the line stays
        {"\r\r  \r5\r", 'n', {5}}, {"abc 4\r-\r6\r", 'n', {kNone, kNone, 6}},
        {"3abc\r8\r", 'n', {3, kNone, 8}},
        {"2147483647 -2147483648\r", 'n', {2147483647, -2147483647 - 1}},
        {"2147483648\r99999999999999999999\r2\r", 'n', {kNone, kNone, 2}},
        {"12\1775\r", 'n', {15}}, {"4\x1b[A\x1b[D2\r", 'n', {42}},  // cursor keys do nothing
    };
    // clang-format on
    for (const auto& [bytes, reader, expected] : cases) {
        vt::reset();
        vt::type(bytes);
        std::vector<int> reads;
        vt::run([&] {
            for (int value = kNone; reads.size() < expected.size(); value = kNone) {
                reads.push_back(reader == 'k' ? readKey() : readInt(value) ? value : kNone);
            }
        });
        EXPECT_EQ(reads, expected) << bytes;
    }
}

// keyPending never blocks and leaves the key; a cursor key answers one pause, not two; the end
// of input ends the program.
TEST(Keys, PendingPausesAndEndOfInput) {
    vt::reset();
    vt::typeAt(100, "z");
    typeKeys({kDown, "x"});
    std::vector<int> seen;
    EXPECT_EQ(vt::run([&] {
                  seen = {keyPending(), (sleepMs(200), keyPending()), readKey()};
                  waitKey();
                  seen.push_back(readKey());
                  readKey();
              }),
              1);
    EXPECT_EQ(seen, (std::vector<int>{false, true, 'z', 'x'}));
}

// A cursor key whose bytes arrive apart, as over a slow link, is still one key; an Escape
// followed by nothing for a while is the Escape key.
TEST(Keys, AnEscapeSequenceInPieces) {
    vt::reset();
    vt::typeAt(0, "\x1b");
    vt::typeAt(30, "[");
    vt::typeAt(60, "A");
    vt::typeAt(100, "\x1b");
    vt::typeAt(400, "[B");
    std::vector<int> keys;
    vt::run([&] {
        while (keys.size() < 5) {
            keys.push_back(readKey());
        }
    });
    EXPECT_EQ(keys, (std::vector<int>{0, 72, 27, '[', 'B'}));
}

// A refused entry clears the prompt rows and asks again; echo and Backspace (two columns for a
// wide character); a long entry stays on its row; Enter on the bottom row clears it rather
// than scrolling the page.
TEST(ReadInt, PromptAndEchoOnScreen) {
    vt::reset();
    typeKeys({"5", "\r", "1", "あ", "2", "\x7f", "\x7f", "9", "\r"});
    vt::type(std::string(300, '7') + "\r\r\r4\r");
    int first = 0, last = 0, longAccepted = 1;
    vt::run([&] {
        printText("top");
        first = promptNumberFrom(40, "  > ", {0, 19});
        moveCursor(70, 40);
        longAccepted = readInt(last);
        readInt(last);
    });
    EXPECT_EQ(std::tuple(first, longAccepted, last), std::tuple(19, 0, 4));
    // The pages at the first key of the second entry, at the Backspace that erased あ, at 9,
    // and at the end.
    expectPages({{2, "prompt_asked_again"}, {5, "prompt_wide_echo"}, {7, "prompt_wide_erased"}});
    EXPECT_PAGE(vt::screen(), "prompt_long_entry");
    EXPECT_EQ(std::pair(vt::cursorColumn(), vt::cursorRow()), std::pair(1, 41));
}

// In a window too small for the page, only a notice with its size shows, in its middle; the
// game goes on underneath, and once the window fits the page is back whole, in one write: a
// frame, a wide character wrapped at column 80, the number typed. A page lost to a resume or a
// resize comes back at the next flush, even in a loop that only polls for keys (the timing
// games), with the cursor hidden as it was.
TEST(SmallWindow, ShowsOnlyANoticeWhileTheGameGoesOn) {
    vt::reset();
    int waits = 0, writesBefore = 0;
    vt::onBlockingRead([&] {
        if (++waits == 1) {
            vt::resize(40, 20);
        } else if (waits == 3) {
            EXPECT_PAGE(vt::screen(), "small_window_40x20");
            vt::resize(80, 41);
            writesBefore = vt::writeCalls();
        }
    });
    typeKeys({"5\r", "x"});
    vt::run([&] {
        drawFrame();
        moveCursor(79, 20);
        printPlain("●ページ");
        moveCursor(8, 30);
        int value = 0;
        readInt(value);  // typed while the notice shows
        printText("%d", value + 1);
        waitKeyAt(1, 40);
        hideCursor();
        vt::losePage();
        EXPECT_FALSE(keyPending());
        EXPECT_PAGE(vt::screen(), "small_window_back");
        EXPECT_FALSE(vt::cursorVisible());
    });
    vt::onBlockingRead(nullptr);
    EXPECT_EQ(std::pair(waits, vt::writeCalls() - writesBefore), std::pair(4, 2));
    EXPECT_EQ(std::pair(vt::cursorColumn(), vt::cursorRow()), std::pair(1, 40));
}

// Dice and ladder rungs keep their width whatever the terminal: one that draws ● and ― wide,
// one that draws them narrow and says so when asked, and either of them silent when asked.
// What follows stays in its column.
TEST(Pictures, SameWidthOnEveryTerminal) {
    // Narrow, answers; a ● with its second column, and the rung as it shows.
    const std::tuple<bool, bool, const char*, const char*> cases[] = {
        {false, true, "●", "｜――｜"},
        {true, true, "● ", "｜――――｜"},
        {true, false, "● ", "｜― ― ｜"},
        {false, false, "●", "｜――｜"}};
    for (const auto& [narrow, answers, dot, rung] : cases) {
        vt::Options options;
        options.ambiguousNarrow = narrow;
        options.answersQueries = answers;
        vt::reset(options);
        drawDieFace(8, 10, 6);
        moveCursor(18, 12);
        printText("!");
        moveCursor(10, 5);
        printText("xxxxxxxxx");  // drawn over: a second column kept blank shows
        flushOutput();
        moveCursor(10, 5);
        printText("｜――｜!");
        flushOutput();
        EXPECT_EQ(vt::textAt(8, 12, 11), "|" + std::string(dot) + "    " + dot + "|!") << rung;
        EXPECT_EQ(vt::textAt(10, 5, 9), std::string(rung) + "!");
    }
}
