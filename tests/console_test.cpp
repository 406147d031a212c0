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

TEST(Frame, BordersAndCursor) {
    vt::reset();
    drawFrame();
    flushOutput();
    const std::string stars(79, '*');
    EXPECT_EQ(vt::rowText(1), stars + " ");
    EXPECT_EQ(vt::rowText(39), stars + " ");
    for (int row = 2; row <= 38; ++row) {
        EXPECT_EQ(vt::rowText(row), "*" + std::string(77, ' ') + "* ") << row;
    }
    EXPECT_EQ(vt::cursorColumn(), 1);
    EXPECT_EQ(vt::cursorRow(), 40);
}

TEST(StatusLine, FreshPlayer) {
    vt::reset();
    applyNewGameDefaults();
    moveCursor(8, 38);
    printStatusLine();
    flushOutput();
    EXPECT_TEXT_AT(8, 38, "LIFE :  5/ 5 , COIN :     0 , LV : 1 経験値( 0/100)");
}

TEST(ClearPromptLine, OffsetsRemoveTheirTwoRows) {
    struct Case {
        int offset;
    };
    for (const Case c : {Case{0}, Case{1}, Case{9}, Case{10}}) {
        vt::reset();
        const auto label = [](int row) {
            char text[16];
            std::snprintf(text, sizeof text, "r%02d", row);
            return std::string(text);
        };
        for (int row = 1; row <= 41; ++row) {
            moveCursor(1, row);
            printText("%s", label(row).c_str());
        }
        clearPromptLine(c.offset);
        flushOutput();
        const int first = 40 - c.offset;
        for (int row = 1; row < first; ++row) {
            EXPECT_EQ(vt::textAt(1, row, 3), label(row));
        }
        // Rows below the removed pair moved up by two; the bottom two are blank.
        for (int row = first; row <= 39; ++row) {
            EXPECT_EQ(vt::textAt(1, row, 3), label(row + 2));
        }
        EXPECT_EQ(vt::rowText(40), std::string(80, ' '));
        EXPECT_EQ(vt::rowText(41), std::string(80, ' '));
        EXPECT_EQ(vt::cursorColumn(), 1);
        EXPECT_EQ(vt::cursorRow(), first);
    }
}

TEST(MoveCursor, OutsideTheWindowIsIgnored) {
    vt::reset();
    moveCursor(5, 3);
    moveCursor(1, 45);
    moveCursor(0, 2);
    moveCursor(81, 2);
    printText("x");
    flushOutput();
    EXPECT_EQ(vt::textAt(5, 3, 1), "x");
}

TEST(Print, NewlineGoesToColumnOneAndScrollsAtTheBottom) {
    vt::reset();
    moveCursor(1, 1);
    printText("top");
    moveCursor(10, 41);
    printText("end\nnext");
    flushOutput();
    EXPECT_EQ(vt::textAt(10, 40, 3), "end");
    EXPECT_EQ(vt::textAt(1, 41, 4), "next");
    EXPECT_EQ(vt::textAt(1, 1, 3), "   ");
}

TEST(Print, WideTextWrapsAtColumnEighty) {
    vt::reset();
    moveCursor(79, 5);
    printText("あい");
    flushOutput();
    EXPECT_EQ(vt::textAt(79, 5, 2), "あ");
    EXPECT_EQ(vt::textAt(1, 6, 2), "い");
}

TEST(Pictures, DieFacesTakeTenColumnsOnNarrowAndWideTerminals) {
    for (const bool narrow : {false, true}) {
        vt::Options options;
        options.ambiguousNarrow = narrow;
        vt::reset(options);
        drawDieFace(35, 17, 1);
        drawDieFace(8, 10, 6);
        moveCursor(46, 19);
        printText("!");
        flushOutput();
        // On a narrow terminal every ● is followed by the blank that fills its second column.
        const std::string dot = narrow ? "● " : "●";
        EXPECT_EQ(vt::textAt(35, 17, 10), "+--------+");
        EXPECT_EQ(vt::textAt(35, 19, 10), "|   " + dot + "   |");
        EXPECT_EQ(vt::textAt(35, 20, 10), "|        |");
        EXPECT_EQ(vt::textAt(35, 21, 10), "+--------+");
        EXPECT_EQ(vt::textAt(45, 19, 2), " !");
        for (int row = 11; row <= 13; ++row) {
            EXPECT_EQ(vt::textAt(8, row, 10), "|" + dot + "    " + dot + "|");
        }
    }
}

TEST(Pictures, DieFacesOnATerminalThatDoesNotAnswer) {
    for (const bool narrow : {false, true}) {
        vt::Options options;
        options.ambiguousNarrow = narrow;
        options.answersQueries = false;
        vt::reset(options);
        drawDieFace(8, 10, 5);
        printText("#");
        flushOutput();
        const std::string dot = narrow ? "● " : "●";
        EXPECT_EQ(vt::textAt(8, 11, 10), "|" + dot + "    " + dot + "|");
        EXPECT_EQ(vt::textAt(8, 12, 10), "|   " + dot + "   |");
        EXPECT_EQ(vt::textAt(18, 14, 1), "#");
    }
}

TEST(Pictures, Cards) {
    vt::reset();
    drawCard(33, 15, 0, 1);
    drawCard(8, 10, 1, 10);
    drawCard(50, 25, 3, 7);
    flushOutput();
    EXPECT_EQ(vt::textAt(33, 15, 14), "+------------+");
    EXPECT_EQ(vt::textAt(33, 18, 14), "|  スペード  |");
    EXPECT_EQ(vt::textAt(33, 20, 14), "|      A     |");
    EXPECT_EQ(vt::textAt(33, 23, 14), "+------------+");
    EXPECT_EQ(vt::textAt(8, 13, 14), "|   ハート   |");
    EXPECT_EQ(vt::textAt(8, 15, 14), "|     10     |");
    EXPECT_EQ(vt::textAt(50, 28, 14), "|   クラブ   |");
    EXPECT_EQ(vt::textAt(50, 30, 14), "|      7     |");
}

TEST(Random, UnseededSequenceAndSeeds) {
    setRandomState(1);
    const int expected[] = {346, 130, 10982, 1090, 11656};
    for (const int e : expected) {
        EXPECT_EQ(nextRandom(), e);
    }
    seedRandom(0);
    EXPECT_EQ(nextRandom(), 346);
    seedRandom(1);
    EXPECT_EQ(nextRandom(), 130);
    setRandomState(1);
    int faces[5];
    for (int& f : faces) {
        f = nextRandom() % 6 + 1;
    }
    EXPECT_EQ(std::vector<int>(faces, faces + 5), (std::vector<int>{5, 5, 3, 5, 5}));
}

// ---- Keys ----

std::vector<int> keysFrom(const std::string& bytes, int count) {
    vt::reset();
    vt::type(bytes);
    std::vector<int> keys;
    vt::run([&] {
        for (int i = 0; i < count; ++i) {
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
        {"string sequences are swallowed",
         "\x1b]11;rgb:0/0/0\x07"
         "9",
         {'9'}},
        {"alt keys are swallowed", "\x1bx4", {'4'}},
        {"backspace", "\x7f\x08", {8, 8}},
        {"a wide character is one key", "あ1", {0x3042, '1'}},
        {"nul is dropped",
         std::string("\0"
                     "1",
                     2),
         {'1'}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(keysFrom(c.bytes, static_cast<int>(c.keys.size())), c.keys) << c.name;
    }
}

TEST(Keys, PendingLeavesTheKeyAndNeverBlocks) {
    vt::reset();
    vt::typeAt(100, "z");
    bool before = true;
    bool after = false;
    int key = 0;
    vt::run([&] {
        before = keyPending();
        sleepMs(200);
        after = keyPending();
        key = readKey();
    });
    EXPECT_FALSE(before);
    EXPECT_TRUE(after);
    EXPECT_EQ(key, 'z');
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
    const int status = vt::run([] { readKey(); });
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(vt::inputExhausted());
}

// ---- Numbers ----

struct NumberRead {
    bool ok;
    int value;
};

std::vector<NumberRead> numbersFrom(const std::string& bytes, int count) {
    vt::reset();
    vt::type(bytes);
    std::vector<NumberRead> reads;
    vt::run([&] {
        for (int i = 0; i < count; ++i) {
            int value = -99;
            const bool ok = readInt(value);
            reads.push_back({ok, value});
        }
    });
    return reads;
}

TEST(ReadInt, Lines) {
    struct Case {
        const char* name;
        std::string bytes;
        std::vector<std::pair<bool, int>> reads;
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
        {"backspace edits",
         "12\x7f"
         "5\r",
         {{true, 15}}},
        {"cursor keys do nothing", "4\x1b[A\x1b[D2\r", {{true, 42}}},
        {"wide characters are not numbers", "１\r3\r", {{false, 0}, {true, 3}}},
    };
    for (const Case& c : cases) {
        const auto reads = numbersFrom(c.bytes, static_cast<int>(c.reads.size()));
        ASSERT_EQ(reads.size(), c.reads.size()) << c.name;
        for (std::size_t i = 0; i < reads.size(); ++i) {
            EXPECT_EQ(reads[i].ok, c.reads[i].first) << c.name << " read " << i;
            if (c.reads[i].first) {
                EXPECT_EQ(reads[i].value, c.reads[i].second) << c.name << " read " << i;
            }
        }
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
    ASSERT_GE(snaps.size(), 5u);
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
    EXPECT_EQ(vt::rowText(41), std::string(80, ' '));
}

TEST(ReadInt, EnterOnTheBottomRowDoesNotScrollThePage) {
    vt::reset();
    vt::type("\r\r\r4\r");
    vt::run([] {
        moveCursor(1, 1);
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
    const auto& snaps = vt::snapshots();
    // Each time the game waited for the first key of an entry, the prompt stood alone on row 40.
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
        moveCursor(10, 10);
        printText("hello");
        readKey();
    });
    EXPECT_EQ(vt::writeCalls() - before, 1);
    EXPECT_TRUE(vt::unknownSequences().empty());
}

TEST(Timers, FireAsVirtualTimePasses) {
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
