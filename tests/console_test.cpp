// The console layer on the virtual terminal: what a player sees and what keys give.
#include "console/console.hpp"

#include <gtest/gtest.h>

#include "console/pictures.hpp"
#include "console/random.hpp"
#include "console/screen.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

const std::string kBlankRow(80, ' ');

// Everything drawn before a key wait goes out in one write the terminal understands.
TEST(Screen, FrameAndStatusLineInOneWrite) {
    vt::reset();
    applyNewGameDefaults();
    const int before = vt::writeCalls();
    int rowAfterFrame = 0;
    vt::type("x");
    vt::run([&] {
        clearScreen();
        drawFrame();
        rowAfterFrame = cursorRow();
        moveCursor(79, 5);
        printText("あい");  // wraps at column 80
        moveCursor(8, 20);
        for (const auto& [column, row] : {std::pair{1, 42}, {0, 2}, {81, 2}}) {
            moveCursor(column, row);  // outside the window: ignored
        }
        printStatusLine();
        readKey();
    });
    EXPECT_EQ(vt::writeCalls() - before, 1);
    EXPECT_TRUE(vt::unknownSequences().empty());
    EXPECT_EQ(rowAfterFrame, 40);
    EXPECT_EQ(
        vt::rowText(1) + vt::rowText(38) + vt::rowText(39),
        std::string(79, '*') + " *" + std::string(77, ' ') + "* " + std::string(79, '*') + " ");
    EXPECT_TEXT_AT(8, 20, "LIFE :  5/ 5 , COIN :     0 , LV : 1 経験値( 0/100)");
    EXPECT_EQ(vt::textAt(79, 5, 2) + vt::textAt(1, 6, 2), "あい");
}

TEST(Screen, ClearPromptLineRemovesItsTwoRows) {
    for (const int offset : {0, 1, 10}) {
        SCOPED_TRACE(offset);
        vt::reset();
        for (int row = 1; row <= 41; ++row) {
            moveCursor(1, row);
            printText("r%d", row + 10);
        }
        clearPromptLine(offset);
        flushOutput();
        // Rows above stay, rows below move up by two, the bottom two are blank.
        const int first = 40 - offset;
        for (int row = 1; row <= 39; ++row) {
            EXPECT_EQ(vt::textAt(1, row, 3),
                      "r" + std::to_string((row < first ? row : row + 2) + 10));
        }
        EXPECT_EQ(vt::rowText(40) + vt::rowText(41), kBlankRow + kBlankRow);
        EXPECT_EQ(std::pair(vt::cursorColumn(), vt::cursorRow()), std::pair(1, first));
    }
}

// Dice and ladder rungs keep their width whether the terminal draws ● ― narrow or not.
TEST(Pictures, SameWidthOnEveryTerminal) {
    for (const bool narrow : {false, true}) {
        for (const bool answers : {true, false}) {
            SCOPED_TRACE(std::to_string(narrow) + std::to_string(answers));
            vt::Options options;
            options.ambiguousNarrow = narrow;
            options.answersQueries = answers;
            vt::reset(options);
            drawDieFace(35, 17, 1);
            drawDieFace(8, 10, 6);
            moveCursor(46, 19);
            printText("!");
            moveCursor(10, 5);
            printText("｜――｜");
            flushOutput();
            // On a narrow terminal every ● is followed by the blank that fills its second column;
            // a bar fills it with itself once the terminal has told its width.
            const std::string dot = narrow ? "● " : "●";
            EXPECT_EQ(vt::textAt(35, 17, 10) + vt::textAt(35, 21, 10), "+--------++--------+");
            EXPECT_EQ(vt::textAt(35, 19, 12), "|   " + dot + "   | !");
            EXPECT_EQ(vt::textAt(8, 12, 10), "|" + dot + "    " + dot + "|");
            EXPECT_EQ(vt::textAt(10, 5, 8), !narrow ? "｜――｜" : answers ? "｜――――｜" : "｜― ― ｜");
        }
    }
}

TEST(Random, UnseededSequenceAndSeeds) {
    setRandomState(1);
    EXPECT_EQ((std::vector<int>{nextRandom(), nextRandom(), nextRandom()}),
              (std::vector<int>{346, 130, 10982}));
    seedRandom(1);  // seeding drops one result
    EXPECT_EQ(nextRandom(), 130);
}

// Types the bytes and collects `count` results of `read`, as the game would read them.
template <typename Read>
auto readsFrom(const std::string& bytes, std::size_t count, Read read) {
    vt::reset();
    vt::type(bytes);
    std::vector<decltype(read())> reads;
    vt::run([&] {
        while (reads.size() < count) {
            reads.push_back(read());
        }
    });
    return reads;
}

TEST(Keys, Decoding) {
    const std::pair<std::string, std::vector<int>> cases[] = {
        {"12 \r\n\n5", {'1', '2', ' ', 13, 13, '5'}},  // CR LF is one Enter, LF alone another
        {"\x1b[A\x1b[B\x1b[C\x1b[D", {0, 72, 0, 80, 0, 77, 0, 75}},
        {"\x1bOA\x1bOD", {0, 72, 0, 75}},  // application cursor keys
        {"\x1b", {27}},
        {"\x1b\x1b[A", {27, 0, 72}},
        // Function keys, mouse reports, string sequences and Alt keys are swallowed.
        {"\x1b[15~\x1bOP\x1b[1;5H7\x1b[M !!\x1b[<0;10;5M8\x1b]11;rgb:0/0/0\a9\x1bx4",
         {'7', '8', '9', '4'}},
        {std::string("\x7f\x08あ\0001", 7), {8, 8, 0x3042, '1'}},  // NUL is dropped
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(readsFrom(bytes, expected.size(), readKey), expected) << bytes;
    }
}

// keyPending never blocks and leaves the key; a cursor key answers one pause, not two; the end
// of input ends the program.
TEST(Keys, PendingPausesAndEndOfInput) {
    vt::reset();
    vt::typeAt(100, "z");
    vt::type("\x1b[B");
    vt::type("x");
    std::vector<int> seen;
    const int status = vt::run([&] {
        seen.push_back(keyPending());
        sleepMs(200);
        seen.push_back(keyPending());
        seen.push_back(readKey());
        waitKey();
        seen.push_back(readKey());
        readKey();
    });
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(vt::inputExhausted());
    EXPECT_EQ(seen, (std::vector<int>{false, true, 'z', 'x'}));
}

// A page lost to a resume or a resize comes back at the next flush, even in a loop that only
// polls for keys (the timing games), not only at a blocking read.
TEST(Screen, LostPageIsDrawnAgainWhilePolling) {
    vt::reset();
    vt::type("x");
    vt::run([&] {
        clearScreen();
        hideCursor();
        moveCursor(8, 30);
        printPlain("テンキー");
        moveCursor(10, 22);
        printPlain("X");
        flushOutput();
        vt::losePage();
        EXPECT_FALSE(keyPending());
        EXPECT_EQ(vt::textAt(8, 30, 8), "テンキー");
        EXPECT_EQ(vt::textAt(10, 22, 1), "X");
        EXPECT_EQ(vt::cursorColumn(), 11);
        EXPECT_EQ(vt::cursorRow(), 22);
        EXPECT_FALSE(vt::cursorVisible());  // still hidden on the page drawn again
        readKey();
    });
    EXPECT_TRUE(vt::cursorVisible());
}

TEST(ReadInt, Lines) {
    using Read = std::pair<bool, int>;  // accepted, and the number when accepted
    const std::pair<std::string, std::vector<Read>> cases[] = {
        {"  -12 +3\r", {{true, -12}, {true, 3}}},  // the rest of the line stays
        {"\r\r  \r5\r", {{true, 5}}},
        {"abc 4\r-\r6\r", {{false, 0}, {false, 0}, {true, 6}}},  // not a number drops the line
        {"3abc\r8\r", {{true, 3}, {false, 0}, {true, 8}}},
        {"2147483647 -2147483648\r", {{true, 2147483647}, {true, -2147483647 - 1}}},
        {"2147483648\r99999999999999999999\r2\r", {{false, 0}, {false, 0}, {true, 2}}},
        {"12\1775\r", {{true, 15}}},
        {"4\x1b[A\x1b[D2\r", {{true, 42}}},  // cursor keys do nothing
    };
    for (const auto& [bytes, expected] : cases) {
        const auto read = [] {
            int value = -99;
            const bool ok = readInt(value);
            return Read{ok, ok ? value : 0};
        };
        EXPECT_EQ(readsFrom(bytes, expected.size(), read), expected) << bytes;
    }
}

// A refused entry clears the prompt rows and asks again; echo and Backspace; a long entry stays
// on its row; Enter on the bottom row clears it rather than scrolling the page.
TEST(ReadInt, PromptAndEchoOnScreen) {
    vt::reset();
    for (const char* key : {"5", "\r", "1", "あ", "2", "\x7f", "\x7f", "9", "\r"}) {
        vt::type(key);
    }
    vt::type(std::string(300, '7') + "\r\r\r4\r");
    int first = 0, last = 0;
    bool longAccepted = true;
    vt::run([&] {
        printText("top");
        first = promptNumberFrom(40, "  > ", {0, 19});
        moveCursor(70, 40);
        longAccepted = readInt(last);
        readInt(last);
    });
    EXPECT_EQ(std::tuple(first, longAccepted, last), std::tuple(19, false, 4));
    // The page as it stood when the game waited for the first key of the second entry, for the
    // Backspace that erased あ, and for 9.
    const auto& snaps = vt::snapshots();
    ASSERT_GE(snaps.size(), 8u);
    EXPECT_EQ(snaps[2].textAt(1, 40, 6) + snaps[2].textAt(1, 41, 3), "  >      ");
    EXPECT_EQ(snaps[5].textAt(1, 40, 8), "  > 1あ2");
    EXPECT_EQ(snaps[7].textAt(1, 40, 8), "  > 1   ");
    EXPECT_EQ(vt::textAt(1, 40, 6), "  > 19");
    EXPECT_EQ(vt::textAt(70, 40, 11), std::string(11, '7'));
    EXPECT_EQ(vt::rowText(41), kBlankRow);
    EXPECT_EQ(vt::textAt(1, 1, 3), "top");
    EXPECT_EQ(std::pair(vt::cursorColumn(), vt::cursorRow()), std::pair(1, 41));
}

}  // namespace

namespace {

// The screen's text without its blanks: what a player can read on it.
std::string visibleText() {
    std::string text;
    for (int row = 1; row <= vt::screen().rows; ++row) {
        for (const char c : vt::rowText(row)) {
            if (c != ' ') {
                text += c;
            }
        }
    }
    return text;
}

// In a window too small for the page, only a notice with its size shows, in its middle; the
// game goes on underneath, and once the window fits the page is back whole, in one write.
TEST(SmallWindow, ShowsOnlyANoticeWhileTheGameGoesOn) {
    struct Case {
        int columns, rows;  // the small window
        int column, row;    // where the notice starts
        bool twoLines;
    };
    for (const Case& c : {Case{80, 24, 13, 12, false}, Case{40, 20, 6, 10, true}}) {
        SCOPED_TRACE(c.columns * 100 + c.rows);
        const std::string size = "画面の大きさが " + std::to_string(c.columns) + " x " +
                                 std::to_string(c.rows) + " です。";
        const std::string needed = "80 x 41 以上にしてください";
        const auto expectNoticeOnly = [&] {
            EXPECT_TEXT_AT(c.column, c.row, c.twoLines ? size : size + needed);
            if (c.twoLines) {
                EXPECT_TEXT_AT(c.column, c.row + 1, needed);
            }
            std::string all = size + needed;
            std::erase(all, ' ');
            EXPECT_EQ(visibleText(), all);
        };

        // At start-up.
        vt::Options options;
        options.columns = c.columns;
        options.rows = c.rows;
        vt::reset(options);
        expectNoticeOnly();

        // During play: made small at the first key wait, large again at the third.
        vt::reset();
        int waits = 0;
        int writesBefore = 0;
        vt::onBlockingRead([&] {
            ++waits;
            if (waits == 1) {
                vt::resize(c.columns, c.rows);
            } else if (waits == 3) {
                expectNoticeOnly();
                vt::resize(80, 41);
                writesBefore = vt::writeCalls();
            }
        });
        vt::type("5\r");
        vt::type("x");
        int value = 0;
        vt::run([&] {
            clearScreen();
            drawFrame();
            moveCursor(8, 20);
            printPlain("●ページ");
            moveCursor(8, 30);
            readInt(value);  // typed while the notice shows
            moveCursor(8, 32);
            printText("%d", value + 1);
            waitKeyAt(1, 40);
        });
        vt::onBlockingRead(nullptr);
        EXPECT_EQ(waits, 4);
        EXPECT_EQ(vt::writeCalls() - writesBefore, 1);
        EXPECT_EQ(vt::rowText(1), std::string(79, '*') + " ");
        EXPECT_TEXT_AT(8, 20, "●ページ");
        EXPECT_TEXT_AT(8, 30, "5");
        EXPECT_TEXT_AT(8, 32, "6");
        EXPECT_EQ(std::pair(vt::cursorColumn(), vt::cursorRow()), std::pair(1, 40));
    }
}

}  // namespace
