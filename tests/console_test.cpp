// The console layer on the virtual terminal: what a player sees and what keys give.
#include "console/console.hpp"

#include <gtest/gtest.h>

#include <cstdio>

#include "console/pictures.hpp"
#include "console/random.hpp"
#include "console/screen.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

const std::string kBlankRow(80, ' ');

TEST(Screen, FrameAndStatusLine) {
    vt::reset();
    applyNewGameDefaults();
    drawFrame();
    flushOutput();
    const int row = vt::cursorRow();
    moveCursor(8, 20);
    printStatusLine();
    flushOutput();
    EXPECT_EQ(row, 40);
    EXPECT_EQ(vt::rowText(1), std::string(79, '*') + " ");
    EXPECT_EQ(vt::rowText(39), std::string(79, '*') + " ");
    for (int r = 2; r <= 38; r += 36) {
        EXPECT_EQ(vt::rowText(r), "*" + std::string(77, ' ') + "* ") << r;
    }
    EXPECT_TEXT_AT(8, 20, "LIFE :  5/ 5 , COIN :     0 , LV : 1 経験値( 0/100)");
}

TEST(Screen, ClearPromptLineRemovesItsTwoRows) {
    for (const int offset : {0, 1, 9, 10}) {
        vt::reset();
        const auto label = [](int row) { return "r" + std::to_string(row + 10); };
        for (int row = 1; row <= 41; ++row) {
            moveCursor(1, row);
            printText("%s", label(row).c_str());
        }
        clearPromptLine(offset);
        flushOutput();
        // Rows above stay, rows below move up by two, the bottom two are blank.
        const int first = 40 - offset;
        for (int row = 1; row <= 39; ++row) {
            EXPECT_EQ(vt::textAt(1, row, 3), label(row < first ? row : row + 2)) << offset;
        }
        EXPECT_EQ(vt::rowText(40), kBlankRow);
        EXPECT_EQ(vt::rowText(41), kBlankRow);
        EXPECT_EQ(vt::cursorRow(), first);
        EXPECT_EQ(vt::cursorColumn(), 1);
    }
}

TEST(Screen, CursorAndPrinting) {
    vt::reset();
    moveCursor(1, 1);
    printText("top");
    moveCursor(5, 3);
    for (const auto& [column, row] : {std::pair{1, 45}, {0, 2}, {81, 2}}) {
        moveCursor(column, row);  // outside the window: ignored
    }
    printText("x");
    moveCursor(79, 5);
    printText("あい");  // wraps at column 80
    moveCursor(10, 41);
    printText("end\nnext");  // scrolls at the bottom
    flushOutput();
    EXPECT_EQ(vt::textAt(5, 2, 1), "x");
    EXPECT_EQ(vt::textAt(79, 4, 2), "あ");
    EXPECT_EQ(vt::textAt(1, 5, 2), "い");
    EXPECT_EQ(vt::textAt(10, 40, 3), "end");
    EXPECT_EQ(vt::textAt(1, 41, 4), "next");
    EXPECT_EQ(vt::rowText(1), kBlankRow);
}

TEST(Pictures, DieFacesTakeTenColumnsOnEveryTerminal) {
    for (const bool narrow : {false, true}) {
        for (const bool answers : {true, false}) {
            vt::Options options;
            options.ambiguousNarrow = narrow;
            options.answersQueries = answers;
            vt::reset(options);
            drawDieFace(35, 17, 1);
            drawDieFace(8, 10, 6);
            moveCursor(46, 19);
            printText("!");
            flushOutput();
            // On a narrow terminal every ● is followed by the blank that fills its second column.
            const std::string dot = narrow ? "● " : "●";
            EXPECT_EQ(vt::textAt(35, 17, 10), "+--------+");
            EXPECT_EQ(vt::textAt(35, 19, 12), "|   " + dot + "   | !");
            EXPECT_EQ(vt::textAt(35, 21, 10), "+--------+");
            for (int row = 11; row <= 13; ++row) {
                EXPECT_EQ(vt::textAt(8, row, 10), "|" + dot + "    " + dot + "|");
            }
        }
    }
}

TEST(Pictures, LadderRungsStayUnbrokenOnANarrowTerminal) {
    vt::Options options;
    options.ambiguousNarrow = true;
    vt::reset(options);
    moveCursor(10, 5);
    printText("｜――｜");
    flushOutput();
    // Each bar fills its second column with itself: four bar cells, no gap.
    EXPECT_EQ(vt::textAt(10, 5, 8), "｜――――｜");
}

TEST(Pictures, Cards) {
    vt::reset();
    drawCard(33, 15, 0, 1);
    drawCard(8, 10, 1, 10);
    flushOutput();
    EXPECT_EQ(vt::textAt(33, 15, 14), "+------------+");
    EXPECT_EQ(vt::textAt(33, 18, 14), "|  スペード  |");
    EXPECT_EQ(vt::textAt(33, 20, 14), "|      A     |");
    EXPECT_EQ(vt::textAt(33, 23, 14), "+------------+");
    EXPECT_EQ(vt::textAt(8, 13, 14), "|   ハート   |");
    EXPECT_EQ(vt::textAt(8, 15, 14), "|     10     |");
}

TEST(Random, UnseededSequenceAndSeeds) {
    setRandomState(1);
    for (const int e : {346, 130, 10982, 1090, 11656}) {
        EXPECT_EQ(nextRandom(), e);
    }
    seedRandom(0);
    EXPECT_EQ(nextRandom(), 346);
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 130);
}

// ---- Keys ----

std::vector<int> keysFrom(const std::string& bytes, std::size_t count) {
    vt::reset();
    vt::type(bytes);
    std::vector<int> keys;
    vt::run([&] {
        while (keys.size() < count) {
            keys.push_back(readKey());
        }
    });
    return keys;
}

TEST(Keys, Decoding) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<int> keys;
    };
    const Case cases[] = {
        {"digits and space", "12 ", {'1', '2', ' '}},
        {"enter", "\r", {13}},
        {"line feed is enter", "\n", {13}},
        {"cr lf is one enter", "\r\n5", {13, '5'}},
        {"cursor keys", "\x1b[A\x1b[B\x1b[C\x1b[D", {0, 72, 0, 80, 0, 77, 0, 75}},
        {"application cursor keys", "\x1bOA\x1bOD", {0, 72, 0, 75}},
        {"lone escape", "\x1b", {27}},
        {"escape escape", "\x1b\x1b[A", {27, 0, 72}},
        {"function keys are swallowed", "\x1b[15~\x1bOP\x1b[1;5H7", {'7'}},
        {"mouse reports are swallowed", "\x1b[M !!\x1b[<0;10;5M8", {'8'}},
        {"string sequences are swallowed", "\x1b]11;rgb:0/0/0\a9", {'9'}},
        {"alt keys are swallowed", "\x1bx4", {'4'}},
        {"backspace", "\x7f\x08", {8, 8}},
        {"a wide character is one key", "あ1", {0x3042, '1'}},
        {"nul is dropped", std::string("\0001", 2), {'1'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keysFrom(c.bytes, c.keys.size()), c.keys) << c.name;
    }
}

TEST(Keys, PendingNeverBlocksAndLeavesTheKey) {
    vt::reset();
    vt::typeAt(100, "z");
    std::vector<int> seen;
    vt::run([&] {
        seen.push_back(keyPending());
        sleepMs(200);
        seen.push_back(keyPending());
        seen.push_back(readKey());
    });
    EXPECT_EQ(seen, (std::vector<int>{false, true, 'z'}));
}

TEST(Keys, ACursorKeyAnswersOnePause) {
    vt::reset();
    vt::type("\x1b[B");
    vt::type("x");
    int after = 0;
    vt::run([&] {
        waitKey();
        after = readKey();
    });
    EXPECT_EQ(after, 'x');
}

TEST(Keys, EndOfInputEndsTheProgram) {
    vt::reset();
    EXPECT_EQ(vt::run([] { readKey(); }), 1);
    EXPECT_TRUE(vt::inputExhausted());
}

// ---- Numbers ----

using NumberRead = std::pair<bool, int>;  // accepted, and the number when accepted

std::vector<NumberRead> numbersFrom(const std::string& bytes, std::size_t count) {
    vt::reset();
    vt::type(bytes);
    std::vector<NumberRead> reads;
    vt::run([&] {
        while (reads.size() < count) {
            int value = -99;
            const bool ok = readInt(value);
            reads.emplace_back(ok, ok ? value : 0);
        }
    });
    return reads;
}

TEST(ReadInt, Lines) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<NumberRead> reads;
    };
    const Case cases[] = {
        {"plain", "7\r", {{true, 7}}},
        {"sign and blanks", "  -12\r+3\r", {{true, -12}, {true, 3}}},
        {"rest of the line stays", "3 4\r", {{true, 3}, {true, 4}}},
        {"empty lines are skipped", "\r\r  \r5\r", {{true, 5}}},
        {"not a number drops the line", "abc 4\r6\r", {{false, 0}, {true, 6}}},
        {"digits then letters", "3abc\r8\r", {{true, 3}, {false, 0}, {true, 8}}},
        {"a sign alone", "-\r1\r", {{false, 0}, {true, 1}}},
        {"largest and smallest",
         "2147483647 -2147483648\r",
         {{true, 2147483647}, {true, -2147483647 - 1}}},
        {"too large", "2147483648\r99999999999999999999\r2\r", {{false, 0}, {false, 0}, {true, 2}}},
        {"backspace edits", "12\1775\r", {{true, 15}}},
        {"cursor keys do nothing", "4\x1b[A\x1b[D2\r", {{true, 42}}},
        {"wide characters are not numbers", "１\r3\r", {{false, 0}, {true, 3}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(numbersFrom(c.bytes, c.reads.size()), c.reads) << c.name;
    }
}

TEST(ReadInt, EchoAndBackspaceOnScreen) {
    vt::reset();
    for (const char* key : {"1", "あ", "2", "\x7f", "\x7f", "9", "\r"}) {
        vt::type(key);
    }
    vt::run([] {
        moveCursor(1, 40);
        printText("  > ");
        int value = 0;
        readInt(value);
    });
    // The page as it stood when the game waited for the Backspace that erased あ.
    const auto& snaps = vt::snapshots();
    ASSERT_GE(snaps.size(), 6u);
    EXPECT_EQ(snaps[3].textAt(1, 40, 8), "  > 1あ2");
    EXPECT_EQ(snaps[5].textAt(1, 40, 8), "  > 1   ");
    EXPECT_EQ(vt::textAt(1, 40, 6), "  > 19");
    EXPECT_EQ(vt::cursorColumn(), 1);
    EXPECT_EQ(vt::cursorRow(), 41);
}

TEST(ReadInt, LongLinesStayOnTheirRow) {
    vt::reset();
    vt::type(std::string(300, '7') + "\r");
    bool ok = true;
    vt::run([&] {
        moveCursor(70, 40);
        int value = 0;
        ok = readInt(value);
    });
    EXPECT_FALSE(ok);  // eleven sevens do not fit in 32 bits
    EXPECT_EQ(vt::textAt(70, 40, 11), std::string(11, '7'));
    EXPECT_EQ(vt::rowText(41), kBlankRow);
}

TEST(ReadInt, EnterOnTheBottomRowDoesNotScrollThePage) {
    vt::reset();
    vt::type("\r\r\r4\r");
    vt::run([] {
        printText("top");
        moveCursor(1, 40);
        int value = 0;
        readInt(value);
    });
    EXPECT_EQ(vt::textAt(1, 1, 3), "top");
}

TEST(Prompt, RepeatsUntilAccepted) {
    vt::reset();
    vt::typeLines({"5", "abc", "1"});
    int chosen = -1;
    vt::run([&] {
        moveCursor(8, 30);
        printText("menu");
        chosen = promptNumberFrom(40, "  > ", {0, 1});
    });
    EXPECT_EQ(chosen, 1);
    // Each time the game waited for the first key of an entry, the prompt stood alone on row 40.
    const auto& snaps = vt::snapshots();
    EXPECT_EQ(snaps[2].textAt(1, 40, 6), "  >   ");
    EXPECT_EQ(snaps[2].textAt(1, 41, 3), "   ");
    EXPECT_EQ(vt::textAt(8, 30, 4), "menu");
}

TEST(Output, OneWritePerWait) {
    vt::reset();
    const int before = vt::writeCalls();
    vt::type("x");
    vt::run([] {
        clearScreen();
        drawFrame();
        printText("hello");
        readKey();
    });
    EXPECT_EQ(vt::writeCalls() - before, 1);
    EXPECT_TRUE(vt::unknownSequences().empty());
}

TEST(Timers, FireAsVirtualTimePassesAndStop) {
    vt::reset();
    static int ticks = 0;
    ticks = 0;
    const int handle = startPeriodicTimer(
        10, [](void*) { ++ticks; }, nullptr);
    sleepMs(1000);
    stopPeriodicTimer(handle);
    sleepMs(1000);
    EXPECT_EQ(ticks, 100);
    EXPECT_EQ(vt::runningTimers(), 0);
}

}  // namespace
