// High & Low: the deciding rule, the two cards and the guess prompt.
#include "minigames/high_and_low.hpp"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/minigame_play.hpp"
#include "support/screen_expect.hpp"

namespace {

TEST(HighAndLowRules, TiesWinEitherWay) {
    const int H = kAnswerHigh, L = kAnswerLow;
    const int cases[][4] = {// answer, first, second, wins
                            {H, 7, 7, 1}, {L, 7, 7, 1}, {H, 7, 8, 1},   {H, 7, 6, 0},
                            {L, 7, 6, 1}, {L, 7, 8, 0}, {H, 13, 13, 1}, {L, 1, 1, 1}};
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

// Plays from wall-clock second `start`; the first guess is typed `guessAtMs` in (0: when asked).
int play(std::int64_t start, int guessAtMs, const std::vector<std::string>& guesses) {
    resetAtSecond(start);
    vt::type("x");
    if (guessAtMs > 0) {
        vt::typeAt(guessAtMs, guesses[0] + "\r");
    }
    vt::typeLines({guesses.begin() + (guessAtMs > 0 ? 1 : 0), guesses.end()});
    pressKeys(2);
    const int result = gameResult(playHighAndLow);
    EXPECT_EQ(vt::snapshots().size(), 3 + guesses.size());
    return result;
}

TEST(HighAndLow, OtherAnswersAskAgainThenTheNextCardOfTheSameSecond) {
    seedRandom(1'800'000'000);
    const Card first = drawCardAsTheGame();
    const Card next = drawCardAsTheGame();
    EXPECT_EQ(play(1'800'000'000, 0, {"2", "-1", "hi", "1"}), next.second >= first.second ? 1 : 0);
    const auto& snaps = vt::snapshots();
    for (int i = 1; i <= 4; ++i) {  // asked again with the card standing
        SCOPED_TRACE(i);
        EXPECT_EQ(snaps[i].textAt(1, 39, 50), "    High and Low ...   High : 1  ,  Low : 0  >>   ");
        EXPECT_EQ(snaps[i].rowText(40), std::string(80, ' '));
        expectCardAt(snaps[i], 8, first);
    }
    expectCardAt(snaps[5], 26, next);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[5], 8, 22, "You Choice  :  High");
    EXPECT_EQ(snaps[5].rowText(39), std::string(80, ' '));  // the prompt is gone
    EXPECT_SNAPSHOT_TEXT_AT(snaps[6], 1, 30,
                            next.second >= first.second ? "You Win !!" : "You Lose ...");
}

TEST(HighAndLow, SecondCardNeverEqualsTheFirst) {
    // A guess some seconds later whose seeding starts with the very same card.
    const auto firstCardOf = [](std::int64_t second) {
        seedRandom(static_cast<std::uint32_t>(second));
        return drawCardAsTheGame();
    };
    std::int64_t start = 1'800'000'000;
    int gap = 1;
    while (!(firstCardOf(start) == firstCardOf(start + gap))) {
        gap = gap % 60 + 1;
        start += gap == 1 ? 1 : 0;
    }
    const Card first = firstCardOf(start);
    firstCardOf(start + gap);
    const Card redrawn = drawCardAsTheGame();
    ASSERT_FALSE(redrawn == first);
    EXPECT_EQ(play(start, gap * 1000, {"0"}), redrawn.second <= first.second ? 1 : 0);
    expectCardAt(vt::snapshots()[2], 26, redrawn);
}

}  // namespace
