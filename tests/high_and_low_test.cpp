// High & Low: the deciding rule, the two cards and the guess prompt.
#include "minigames/high_and_low.hpp"

#include "support/play.hpp"

TEST(HighAndLowRules, TiesWinEitherWay) {
    const int H = kAnswerHigh, L = kAnswerLow;
    const int cases[][4] = {{H, 7, 7, 1}, {L, 7, 7, 1}, {H, 7, 6, 0}, {L, 7, 8, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(highLowWins(c[0], c[1], c[2]), c[3] == 1) << c[0] << " " << c[1] << " " << c[2];
    }
}

// Other answers clear rows 39 and 40 and ask again with the card standing. Answered within the
// second, the second seeding repeats the first draw: the second card is the next one drawn.
TEST(HighAndLow, OtherAnswersAskAgainAndTheSecondCardNeverEqualsTheFirst) {
    EXPECT_EQ(play({"x", "2\r", "-1\r", "hi\r", "1\r", " ", " "}, playHighAndLow), 0);
    ASSERT_EQ(vt::snapshots().size(), 7u);
    // clang-format off
    expectPages({{0, "high_and_low_rules"}, {1, "high_and_low_guess"}, {4, "high_and_low_guess"},
                 {5, "high_and_low_cards"}, {6, "high_and_low_lost"}});
    // clang-format on
}
