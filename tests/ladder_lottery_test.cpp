// Ladder lottery: the paths, the result ladder and the pick prompts.
#include "minigames/ladder_lottery.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/seed_search.hpp"
#include "support/virtual_platform.hpp"

namespace {

TEST(LadderLotteryRules, AnswerFollowsThePathUp) {
    Rungs none{}, all{}, lowest{}, twice{};
    all.fill(1);
    lowest[0] = 1;            // joins lines 2 and 3
    twice[1] = twice[6] = 1;  // lines 4 and 5, twice: back where it started
    const std::pair<const Rungs*, std::array<int, 6>> cases[] = {
        {&none, {1, 2, 3, 4, 5, 6}},
        {&all, {6, 4, 5, 2, 3, 1}},
        {&lowest, {1, 3, 2, 4, 5, 6}},
        {&twice, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& [rungs, answers] : cases) {
        for (int hit = 1; hit <= 6; ++hit) {
            EXPECT_EQ(ladderAnswer(hit, *rungs), answers[hit - 1]) << hit;
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

int playWith(std::int64_t second, int picks, const std::vector<std::string>& entries) {
    vt::Options options;
    options.wallClockStart = second;
    vt::reset(options);
    vt::type("x");
    for (const std::string& entry : entries) {
        vt::type(entry == " " ? entry : entry + "\r");
    }
    vt::type(" ");
    vt::type(" ");
    int result = -1;
    vt::run([&] { result = playLadderLottery(picks); });
    EXPECT_FALSE(vt::inputExhausted());
    return result;
}

// The screen row of each slot on the result ladder, slot 16 at the top.
constexpr int kSlotRows[kRungSlots] = {18, 18, 17, 17, 17, 16, 16, 15, 15,
                                       15, 14, 14, 13, 13, 13, 12, 12};

TEST(LadderLottery, OnePickAgainstTheDrawnLadder) {
    for (const bool wantWin : {true, false}) {
        Draw d{};
        // A ladder with some rungs and some gaps, won or lost by picking line 4.
        const std::int64_t second = findSeedSecond([&] {
            d = drawAsTheGame();
            const int drawn = std::count(d.rungs.begin(), d.rungs.end(), 1);
            return drawn > 4 && drawn < 13 && (d.answer == 4) == wantWin;
        });
        ASSERT_GT(second, 0);
        EXPECT_EQ(playWith(second, 1, {"0", "7", "4"}), wantWin ? 1 : 0);

        const auto& snaps = vt::snapshots();
        ASSERT_EQ(snaps.size(), 6u);
        EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 12, "・6本の線の中から、1本を選んでください。");
        // Asked again after 0 and 7.
        EXPECT_EQ(snaps[3].textAt(1, 40, 22), "どれにしますか？ >>   ");
        EXPECT_EQ(snaps[3].rowText(41), std::string(80, ' '));
        // The result ladder: the lines, the drawn rungs and the hit.
        const ScreenGrid& page = snaps[4];
        const auto lineColumn = [](int line) { return 13 + 6 * (line - 1); };
        for (int line = 1; line <= 6; ++line) {
            for (int row = 11; row <= 19; ++row) {
                EXPECT_SNAPSHOT_TEXT_AT(page, lineColumn(line), row, "｜") << row << " " << line;
            }
            EXPECT_SNAPSHOT_TEXT_AT(page, lineColumn(line), 20, line == d.hit ? "○" : "　");
        }
        for (int k = 0; k < kRungSlots; ++k) {
            EXPECT_SNAPSHOT_TEXT_AT(page, lineColumn(rungLeftLine(k)) + 2, kSlotRows[k],
                                    d.rungs[k] ? "――" : "　　")
                << "slot " << k;
        }
        EXPECT_SNAPSHOT_TEXT_AT(page, 24, 29, "正解の番号  :  " + std::to_string(d.answer));
        EXPECT_SNAPSHOT_TEXT_AT(
            snaps[5], 1, 32,
            wantWin ? "                      ♪ アタリ ♪ " : "                       ! ハズレ ! ");
    }
}

TEST(LadderLottery, EasyModeRefusesTheSameLineTwice) {
    const std::int64_t second = vt::Options{}.wallClockStart;
    seedRandom(static_cast<std::uint32_t>(second));
    const int answer = drawAsTheGame().answer;
    const int other = answer == 3 ? 5 : answer;  // the second pick wins
    EXPECT_EQ(playWith(second, 2, {"3", "3", " ", std::to_string(other)}), 1);

    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 7u);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 12, "・6本の線の中から、2本を選んでください。");
    EXPECT_EQ(snaps[3].textAt(1, 40, 26), "  ※ 同じ場所は選べません ");
    EXPECT_EQ(snaps[4].textAt(1, 40, 28), "2つ目はどれにしますか？ >>  ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[5], 16, 26,
                            "あなたの選んだ番号  :  3  " + std::to_string(other) + "  ");
}

}  // namespace
