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

// Other answers clear rows 39 and 40 and ask again with the card standing. The guess comes
// some seconds late, when the seeding starts over with the very same card: the second card must
// then be the one after it.
TEST(HighAndLow, OtherAnswersAskAgainAndTheSecondCardNeverEqualsTheFirst) {
    const auto firstCardOf = [](std::int64_t second) {
        seedRandom(static_cast<std::uint32_t>(second));
        const int suit = nextRandom() % 4;
        return std::pair(suit, nextRandom() % 13 + 1);
    };
    std::int64_t start = 1'800'000'000;
    int gap = 1;
    while (firstCardOf(start) != firstCardOf(start + gap)) {
        gap = gap % 60 + 1;
        start += gap == 1 ? 1 : 0;
    }
    newGameAt(start);
    typeKeys({"x", "2\r", "-1\r", "hi\r"});
    vt::typeAt(gap * 1000, "1\r");
    EXPECT_EQ(playWith(spaces(2), playHighAndLow), 0);
    ASSERT_EQ(vt::snapshots().size(), 7u);
    // clang-format off
    expectPages({{0, "high_and_low_rules"}, {1, "high_and_low_guess"}, {4, "high_and_low_guess"},
                 {5, "high_and_low_cards"}, {6, "high_and_low_lost"}});
    // clang-format on
}
