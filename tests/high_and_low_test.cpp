// High & Low: the deciding rule, the two cards and the guess prompt.
#include "minigames/high_and_low.hpp"

#include <utility>

#include "support/minigame_play.hpp"

namespace {

TEST(HighAndLowRules, TiesWinEitherWay) {
    const int H = kAnswerHigh, L = kAnswerLow;
    const int cases[][4] = {{H, 7, 7, 1}, {L, 7, 7, 1}, {H, 7, 6, 0}, {L, 7, 8, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(highLowWins(c[0], c[1], c[2]), c[3] == 1) << c[0] << " " << c[1] << " " << c[2];
    }
}

using Card = std::pair<int, int>;  // suit, value

Card drawCardAsTheGame() {
    const int suit = nextRandom() % 4;
    return {suit, nextRandom() % 13 + 1};
}

// The suit and value rows of the card picture at `column`.
void expectCardAt(const ScreenGrid& page, int column, const Card& card) {
    const auto [suit, value] = card;
    const char* const suits[4] = {"スペード", " ハート ", " ダイヤ ", " クラブ "};
    const char* const values = " A 2 3 4 5 6 7 8 910 J Q K";
    EXPECT_SNAPSHOT_TEXT_AT(page, column, 13, std::string("|  ") + suits[suit] + "  |");
    EXPECT_SNAPSHOT_TEXT_AT(page, column, 15,
                            "|     " + std::string(values + 2 * (value - 1), 2) + "     |");
}

// The guess comes some seconds late, when the seeding starts over with the very same card: the
// second card must then be the one after it.
TEST(HighAndLow, OtherAnswersAskAgainAndTheSecondCardNeverEqualsTheFirst) {
    const auto firstCardOf = [](std::int64_t second) {
        seedRandom(static_cast<std::uint32_t>(second));
        return drawCardAsTheGame();
    };
    std::int64_t start = 1'800'000'000;
    int gap = 1;
    while (firstCardOf(start) != firstCardOf(start + gap)) {
        gap = gap % 60 + 1;
        start += gap == 1 ? 1 : 0;
    }
    const Card first = firstCardOf(start);
    firstCardOf(start + gap);
    const Card second = drawCardAsTheGame();
    ASSERT_NE(second, first);
    resetAtSecond(start);
    vt::type("x");
    vt::typeLines({"2", "-1", "hi"});
    vt::typeAt(gap * 1000, "1\r");
    pressKeys(2);
    EXPECT_EQ(gameResult(playHighAndLow), second.second >= first.second ? 1 : 0);

    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 7u);
    for (int i = 1; i <= 4; ++i) {  // asked again with the card standing
        SCOPED_TRACE(i);
        EXPECT_EQ(snaps[i].textAt(1, 39, 50), "    High and Low ...   High : 1  ,  Low : 0  >>   ");
        EXPECT_EQ(snaps[i].rowText(40), std::string(80, ' '));
        expectCardAt(snaps[i], 8, first);
    }
    expectCardAt(snaps[5], 26, second);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[5], 8, 22, "You Choice  :  High");
    EXPECT_EQ(snaps[5].rowText(39), std::string(80, ' '));  // the prompt is gone
    EXPECT_SNAPSHOT_TEXT_AT(snaps[6], 1, 30,
                            second.second >= first.second ? "You Win !!" : "You Lose ...");
}

}  // namespace
