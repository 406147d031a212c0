// High & Low: the deciding rule, the two cards and the guess prompt.
#include "minigames/high_and_low.hpp"

#include <gtest/gtest.h>

#include <string>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

TEST(HighAndLowRules, TiesWinAndTheEdges) {
    const int H = kAnswerHigh, L = kAnswerLow;
    const int cases[][4] = {// answer, first, second, wins
                            {H, 7, 7, 1},  {L, 7, 7, 1}, {H, 7, 8, 1},   {H, 7, 6, 0},
                            {L, 7, 6, 1},  {L, 7, 8, 0}, {H, 13, 13, 1}, {H, 13, 12, 0},
                            {L, 13, 1, 1}, {L, 1, 1, 1}, {L, 1, 2, 0},   {H, 1, 13, 1},
                            {H, 1, 1, 1}};
    for (const auto& c : cases) {
        EXPECT_EQ(highLowWins(c[0], c[1], c[2]), c[3] == 1) << c[0] << " " << c[1] << " " << c[2];
    }
}

struct Card {
    int suit, value;
    bool operator==(const Card&) const = default;
};

Card drawCardAsTheGame() {
    const int suit = nextRandom() % 4;
    return {suit, nextRandom() % 13 + 1};
}

// The suit and value rows of the card picture at `column`.
void expectCardAt(const ScreenGrid& page, int column, const Card& c) {
    const char* const names[4] = {"スペード", " ハート ", " ダイヤ ", " クラブ "};
    const char* const labels[14] = {"",   " A", " 2", " 3", " 4", " 5", " 6",
                                    " 7", " 8", " 9", "10", " J", " Q", " K"};
    EXPECT_SNAPSHOT_TEXT_AT(page, column, 13, std::string("|  ") + names[c.suit] + "  |");
    EXPECT_SNAPSHOT_TEXT_AT(page, column, 15, std::string("|     ") + labels[c.value] + "     |");
}

// Plays from wall-clock second `start`; the first guess is typed `guessAtMs` in (0: when asked).
int play(std::int64_t start, int guessAtMs, const std::vector<std::string>& guesses) {
    vt::Options options;
    options.wallClockStart = start;
    vt::reset(options);
    vt::type("x");
    for (const std::string& guess : guesses) {
        if (guessAtMs > 0 && &guess == &guesses.front()) {
            vt::typeAt(guessAtMs, guess + "\r");
        } else {
            vt::typeLines({guess});
        }
    }
    vt::type(" ");
    vt::type(" ");
    int result = -1;
    vt::run([&] { result = playHighAndLow(); });
    EXPECT_FALSE(vt::inputExhausted());
    EXPECT_EQ(vt::snapshots().size(), 3 + guesses.size());
    return result;
}

TEST(HighAndLow, GuessInTheSameSecondDrawsTheNextCardOfTheSequence) {
    seedRandom(1'800'000'000);
    const Card first = drawCardAsTheGame();
    const Card next = drawCardAsTheGame();
    EXPECT_EQ(play(1'800'000'000, 0, {"1"}), next.value >= first.value ? 1 : 0);
    const auto& snaps = vt::snapshots();
    expectCardAt(snaps[1], 8, first);
    expectCardAt(snaps[2], 26, next);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 22, "You Choice  :  High");
    EXPECT_EQ(snaps[2].rowText(39), std::string(80, ' '));  // the prompt is gone
    EXPECT_SNAPSHOT_TEXT_AT(snaps[3], 1, 30,
                            next.value >= first.value ? "You Win !!" : "You Lose ...");
}

TEST(HighAndLow, SecondCardNeverEqualsTheFirst) {
    // A guess some seconds later whose seeding starts with the very same card.
    std::int64_t start = 0;
    int gap = 0;
    Card first{}, redrawn{};
    for (int g = 1; g <= 60 && start == 0; ++g) {
        for (std::int64_t s = 1'800'000'000; s < 1'800'001'000 && start == 0; ++s) {
            seedRandom(static_cast<std::uint32_t>(s));
            first = drawCardAsTheGame();
            seedRandom(static_cast<std::uint32_t>(s + g));
            if (drawCardAsTheGame() == first) {
                redrawn = drawCardAsTheGame();
                start = s;
                gap = g;
            }
        }
    }
    ASSERT_NE(start, 0);
    ASSERT_FALSE(redrawn == first);
    EXPECT_EQ(play(start, gap * 1000, {"0"}), redrawn.value <= first.value ? 1 : 0);
    expectCardAt(vt::snapshots()[2], 26, redrawn);
}

TEST(HighAndLow, OtherAnswersAskAgainWithTheCardStanding) {
    seedRandom(1'800'000'000);
    const Card first = drawCardAsTheGame();
    play(1'800'000'000, 0, {"2", "-1", "hi", "1"});
    for (int i = 2; i <= 4; ++i) {
        const ScreenGrid& page = vt::snapshots()[i];
        EXPECT_EQ(page.textAt(1, 39, 50), "    High and Low ...   High : 1  ,  Low : 0  >>   ")
            << i;
        EXPECT_EQ(page.rowText(40), std::string(80, ' ')) << i;
        expectCardAt(page, 8, first);
    }
}

}  // namespace
