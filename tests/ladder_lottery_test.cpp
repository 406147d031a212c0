// Ladder lottery: the paths, the result ladder and the pick prompts.
#include "minigames/ladder_lottery.hpp"

#include "support/play.hpp"

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

// 0 and 7 clear the prompt row and ask again; the result ladder shows the drawn rungs, the
// hit under its line and the answer, 6 on this clock.
TEST(LadderLottery, OnePickLosesAgainstTheDrawnLadder) {
    EXPECT_EQ(play({"x", "0\r", "7\r", "4\r", " ", " "}, [] { return playLadderLottery(1); }), 0);
    ASSERT_EQ(vt::snapshots().size(), 6u);
    // clang-format off
    expectPages({{0, "ladder_rules_one"}, {1, "ladder_empty"}, {3, "ladder_empty"},
                 {4, "ladder_result"}, {5, "ladder_lost"}});
    // clang-format on
}

// The easy mode refuses the same line twice with a message and asks for the second again.
TEST(LadderLottery, EasyModeRefusesTheSameLineTwice) {
    EXPECT_EQ(play({"x", "3\r", "3\r", " ", "6\r", " ", " "}, [] { return playLadderLottery(2); }),
              1);
    ASSERT_EQ(vt::snapshots().size(), 7u);
    // clang-format off
    expectPages({{0, "ladder_rules_two"}, {3, "ladder_same_line"}, {4, "ladder_second_pick"},
                 {5, "ladder_easy_result"}, {6, "ladder_won"}});
    // clang-format on
}
