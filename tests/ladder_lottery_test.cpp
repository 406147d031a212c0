// Ladder lottery: the paths, the result ladder and the pick prompts.
#include "minigames/ladder_lottery.hpp"

#include <algorithm>
#include <array>

#include "support/minigame_play.hpp"

namespace {

TEST(LadderLotteryRules, AnswerFollowsThePathUp) {
    Rungs all{}, lowest{}, twice{};
    all.fill(1);
    lowest[0] = 1;            // joins lines 2 and 3
    twice[1] = twice[6] = 1;  // lines 4 and 5, twice: back where it started
    const std::pair<const Rungs*, std::array<int, 6>> cases[] = {
        {&all, {6, 4, 5, 2, 3, 1}}, {&lowest, {1, 3, 2, 4, 5, 6}}, {&twice, {1, 2, 3, 4, 5, 6}}};
    for (const auto& [rungs, answers] : cases) {
        for (int hit = 1; hit <= 6; ++hit) {
            EXPECT_EQ(ladderAnswer(hit, *rungs), answers[hit - 1]) << hit;
        }
    }
}

struct Draw {
    int hit;
    Rungs rungs;
};

Draw drawAsTheGame() {
    Draw d{nextRandom() % 6 + 1, {}};
    std::generate(d.rungs.begin(), d.rungs.end(), [] { return nextRandom() % 2; });
    return d;
}

// Plays with the entries typed when asked (" " as a key, others as numbers) and two keys after.
int playWith(std::int64_t second, int picks, const std::vector<std::string>& entries) {
    resetAtSecond(second);
    vt::type("x");
    for (const std::string& entry : entries) {
        vt::type(entry == " " ? entry : entry + "\r");
    }
    pressKeys(2);
    return gameResult([picks] { return playLadderLottery(picks); });
}

TEST(LadderLottery, OnePickLosesAgainstTheDrawnLadder) {
    Draw d{};  // a ladder with some rungs and some gaps, lost by picking line 4
    const std::int64_t second = findSeedSecond([&] {
        d = drawAsTheGame();
        const int drawn = std::count(d.rungs.begin(), d.rungs.end(), 1);
        return drawn > 4 && drawn < 13 && ladderAnswer(d.hit, d.rungs) != 4;
    });
    EXPECT_EQ(playWith(second, 1, {"0", "7", "4"}), 0);
    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 6u);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 12, "・6本の線の中から、1本を選んでください。");
    EXPECT_EQ(snaps[3].textAt(1, 40, 22), "どれにしますか？ >>   ");  // again after 0 and 7
    EXPECT_EQ(snaps[3].rowText(41), std::string(80, ' '));
    // The result ladder: the hit under its line, the drawn rungs (slot 0 the lowest).
    const auto lineColumn = [](int line) { return 13 + 6 * (line - 1); };
    for (int line = 1; line <= 6; ++line) {
        EXPECT_SNAPSHOT_TEXT_AT(snaps[4], lineColumn(line), 20, line == d.hit ? "○" : "　");
    }
    for (int k = 0; k < kRungSlots; ++k) {
        const int row = 18 - 2 * (k / 5) - (k % 5 >= 2 ? 1 : 0);
        EXPECT_SNAPSHOT_TEXT_AT(snaps[4], lineColumn(rungLeftLine(k)) + 2, row,
                                d.rungs[k] ? "――" : "　　")
            << "slot " << k;
    }
    EXPECT_SNAPSHOT_TEXT_AT(snaps[4], 24, 29,
                            "正解の番号  :  " + std::to_string(ladderAnswer(d.hit, d.rungs)));
    EXPECT_SNAPSHOT_TEXT_AT(snaps[5], 1, 32, "                       ! ハズレ ! ");
}

TEST(LadderLottery, EasyModeRefusesTheSameLineTwice) {
    seedRandom(static_cast<std::uint32_t>(vt::Options{}.wallClockStart));
    const Draw d = drawAsTheGame();
    const int answer = ladderAnswer(d.hit, d.rungs);
    const int other = answer == 3 ? 5 : answer;  // the second pick wins
    EXPECT_EQ(playWith(vt::Options{}.wallClockStart, 2, {"3", "3", " ", std::to_string(other)}), 1);

    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 7u);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 12, "・6本の線の中から、2本を選んでください。");
    EXPECT_EQ(snaps[3].textAt(1, 40, 26), "  ※ 同じ場所は選べません ");
    EXPECT_EQ(snaps[4].textAt(1, 40, 28), "2つ目はどれにしますか？ >>  ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[5], 16, 26,
                            "あなたの選んだ番号  :  3  " + std::to_string(other) + "  ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[6], 1, 32, "                      ♪ アタリ ♪ ");
}

}  // namespace
