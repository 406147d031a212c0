// Ladder lottery: the paths, the result ladder and the pick prompts.
#include "minigames/ladder_lottery.hpp"

#include <algorithm>
#include <array>
#include <tuple>

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

// The hit line and the rungs, drawn as the game does.
std::pair<int, Rungs> drawAsTheGame() {
    const int hit = nextRandom() % 6 + 1;
    Rungs rungs{};
    std::generate(rungs.begin(), rungs.end(), [] { return nextRandom() % 2; });
    return {hit, rungs};
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
    int hit = 0;
    Rungs rungs{};
    const std::int64_t second = findSeedSecond([&] {  // some rungs and gaps; line 4 loses
        std::tie(hit, rungs) = drawAsTheGame();
        const int drawn = std::count(rungs.begin(), rungs.end(), 1);
        return drawn > 4 && drawn < 13 && ladderAnswer(hit, rungs) != 4;
    });
    EXPECT_EQ(playWith(second, 1, {"0", "7", "4"}), 0);
    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 6u);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 8, 12, "・6本の線の中から、1本を選んでください。");
    EXPECT_EQ(snaps[3].textAt(1, 40, 22), "どれにしますか？ >>   ");  // again after 0 and 7
    EXPECT_EQ(snaps[3].rowText(41), std::string(80, ' '));
    // The result ladder: the hit under its line, the drawn rungs (slot 0 the lowest).
    const auto lineColumn = [](int line) { return 13 + 6 * (line - 1); };
    EXPECT_SNAPSHOT_TEXT_AT(snaps[4], lineColumn(hit) - 2, 20, "　○　");
    for (int k = 0; k < kRungSlots; ++k) {
        const int row = 18 - 2 * (k / 5) - (k % 5 >= 2 ? 1 : 0);
        EXPECT_SNAPSHOT_TEXT_AT(snaps[4], lineColumn(rungLeftLine(k)) + 2, row,
                                rungs[k] ? "――" : "　　")
            << "slot " << k;
    }
    EXPECT_SNAPSHOT_TEXT_AT(snaps[4], 24, 29,
                            "正解の番号  :  " + std::to_string(ladderAnswer(hit, rungs)));
    EXPECT_SNAPSHOT_TEXT_AT(snaps[5], 1, 32, "                       ! ハズレ ! ");
}

TEST(LadderLottery, EasyModeRefusesTheSameLineTwice) {
    seedRandom(static_cast<std::uint32_t>(vt::Options{}.wallClockStart));
    const auto [hit, rungs] = drawAsTheGame();
    const int other = ladderAnswer(hit, rungs) == 3 ? 5 : ladderAnswer(hit, rungs);  // it wins
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
