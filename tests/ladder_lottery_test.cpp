// Ladder lottery: the paths, the result ladder and the pick prompts.
#include "minigames/ladder_lottery.hpp"

#include <gtest/gtest.h>

#include <string>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/seed_search.hpp"
#include "support/virtual_platform.hpp"

namespace {

TEST(LadderLotteryRules, AnswerFollowsThePathUp) {
    Rungs none{};
    Rungs all{};
    all.fill(1);
    Rungs lowest{};
    lowest[0] = 1;  // joins lines 2 and 3
    Rungs twoOnOnePair{};
    twoOnOnePair[1] = 1;  // lines 4 and 5, twice: back where it started
    twoOnOnePair[6] = 1;
    struct Case {
        const char* name;
        const Rungs& rungs;
        int answers[6];  // for hit lines 1 to 6
    };
    const Case cases[] = {
        {"none", none, {1, 2, 3, 4, 5, 6}},
        {"all", all, {6, 4, 5, 2, 3, 1}},
        {"lowest", lowest, {1, 3, 2, 4, 5, 6}},
        {"twice", twoOnOnePair, {1, 2, 3, 4, 5, 6}},
    };
    for (const Case& c : cases) {
        for (int hit = 1; hit <= 6; ++hit) {
            EXPECT_EQ(ladderAnswer(hit, c.rungs), c.answers[hit - 1]) << c.name << " hit " << hit;
        }
    }
}

struct Draw {
    int hit;
    Rungs rungs;
    int answer;
};

Draw drawAsTheGame() {
    Draw d{};
    d.hit = nextRandom() % 6 + 1;
    for (int& r : d.rungs) {
        r = nextRandom() % 2;
    }
    d.answer = ladderAnswer(d.hit, d.rungs);
    return d;
}

int lineColumn(int line) {
    return 13 + 6 * (line - 1);
}

// The screen row of each slot on the result ladder, slot 16 at the top.
constexpr int kSlotRows[kRungSlots] = {18, 18, 17, 17, 17, 16, 16, 15, 15,
                                       15, 14, 14, 13, 13, 13, 12, 12};

void expectResultLadder(const ScreenGrid& page, const Draw& d) {
    EXPECT_SNAPSHOT_TEXT_AT(page, 9, 10, "　　１　　２　　３　　４　　５　　６　　");
    for (int row = 11; row <= 19; ++row) {
        for (int line = 1; line <= 6; ++line) {
            EXPECT_SNAPSHOT_TEXT_AT(page, lineColumn(line), row, "｜") << row << " " << line;
        }
    }
    for (int k = 0; k < kRungSlots; ++k) {
        const int column = lineColumn(rungLeftLine(k)) + 2;
        EXPECT_SNAPSHOT_TEXT_AT(page, column, kSlotRows[k], d.rungs[k] ? "――" : "　　")
            << "slot " << k;
    }
    for (int line = 1; line <= 6; ++line) {
        EXPECT_SNAPSHOT_TEXT_AT(page, lineColumn(line), 20, line == d.hit ? "○" : "　");
    }
}

TEST(LadderLottery, OnePickAgainstTheDrawnLadder) {
    for (const bool wantWin : {true, false}) {
        Draw d{};
        const std::int64_t second = findSeedSecond([&] {
            d = drawAsTheGame();
            // A ladder with some rungs and some gaps, won or lost by picking line 4.
            int drawn = 0;
            for (const int r : d.rungs) {
                drawn += r;
            }
            return drawn > 4 && drawn < 13 && (d.answer == 4) == wantWin;
        });
        ASSERT_GT(second, 0);
        vt::Options options;
        options.wallClockStart = second;
        vt::reset(options);
        vt::type("x");
        vt::typeLines({"0", "7", "4"});
        vt::type(" ");
        vt::type(" ");
        int result = -1;
        vt::run([&] { result = playLadderLottery(1); });
        EXPECT_FALSE(vt::inputExhausted());
        EXPECT_EQ(result, wantWin ? 1 : 0);

        const auto& snaps = vt::snapshots();
        ASSERT_EQ(snaps.size(), 6u);
        EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 16, 7, "～ あみだくじ ～");
        EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 12, "・6本の線の中から、1本を選んでください。");
        // The empty ladder, and the question asked again after 0 and 7.
        for (int i = 1; i <= 3; ++i) {
            EXPECT_SNAPSHOT_TEXT_AT(snaps[i], 9, 10, "　　１　　２　　３　　４　　５　　６");
            EXPECT_SNAPSHOT_TEXT_AT(snaps[i], 9, 20, "　　？　　？　　？　　？　　？　　？");
            EXPECT_EQ(snaps[i].textAt(1, 40, 22), "どれにしますか？ >>   ") << i;
            EXPECT_EQ(snaps[i].rowText(41), std::string(80, ' ')) << i;
        }
        expectResultLadder(snaps[4], d);
        EXPECT_SNAPSHOT_TEXT_AT(snaps[4], 16, 26, "あなたの選んだ番号  :  4  ");
        EXPECT_SNAPSHOT_TEXT_AT(snaps[4], 24, 29, "正解の番号  :  " + std::to_string(d.answer));
        EXPECT_EQ(snaps[4].rowText(32), std::string(80, ' '));
        EXPECT_SNAPSHOT_TEXT_AT(
            snaps[5], 1, 32,
            wantWin ? "                      ♪ アタリ ♪ " : "                       ! ハズレ ! ");
    }
}

TEST(LadderLottery, EasyModeRefusesTheSameLineTwice) {
    vt::reset();
    seedRandom(static_cast<std::uint32_t>(vt::Options{}.wallClockStart));
    const Draw d = drawAsTheGame();
    const int other = d.answer == 3 ? 5 : d.answer;  // the second pick wins
    vt::type("x");
    vt::typeLines({"3", "3"});
    vt::type(" ");  // after the message
    vt::typeLines({std::to_string(other)});
    vt::type(" ");
    vt::type(" ");
    int result = -1;
    vt::run([&] { result = playLadderLottery(2); });
    EXPECT_FALSE(vt::inputExhausted());
    EXPECT_EQ(result, d.answer == 3 || d.answer == other ? 1 : 0);

    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 7u);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 12, "・6本の線の中から、2本を選んでください。");
    EXPECT_EQ(snaps[1].textAt(1, 40, 28), "1つ目はどれにしますか？ >>  ");
    EXPECT_EQ(snaps[2].textAt(1, 40, 28), "2つ目はどれにしますか？ >>  ");
    EXPECT_EQ(snaps[3].textAt(1, 40, 26), "  ※ 同じ場所は選べません ");
    EXPECT_EQ(snaps[4].textAt(1, 40, 28), "2つ目はどれにしますか？ >>  ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[5], 16, 26,
                            "あなたの選んだ番号  :  3  " + std::to_string(other) + "  ");
}

}  // namespace
