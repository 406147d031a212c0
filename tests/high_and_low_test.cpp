// High & Low: the deciding rule, the two cards and the guess prompt.
#include "minigames/high_and_low.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

TEST(HighAndLowRules, TiesWinAndTheEdges) {
    struct Case {
        int answer, first, second;
        bool wins;
    };
    const Case cases[] = {
        {kAnswerHigh, 7, 7, true},   {kAnswerLow, 7, 7, true},     {kAnswerHigh, 7, 8, true},
        {kAnswerHigh, 7, 6, false},  {kAnswerLow, 7, 6, true},     {kAnswerLow, 7, 8, false},
        {kAnswerHigh, 13, 13, true}, {kAnswerHigh, 13, 12, false}, {kAnswerLow, 13, 1, true},
        {kAnswerLow, 1, 1, true},    {kAnswerLow, 1, 2, false},    {kAnswerHigh, 1, 13, true},
        {kAnswerHigh, 1, 1, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(highLowWins(c.answer, c.first, c.second), c.wins)
            << c.answer << " " << c.first << " " << c.second;
    }
}

struct Card {
    int suit, value;
};

Card drawCardAsTheGame() {
    const int suit = nextRandom() % 4;
    return {suit, nextRandom() % 13 + 1};
}

// Rows 3 and 5 of a card picture, as the player sees them.
std::string suitRow(const Card& c) {
    const char* const names[4] = {"スペード", " ハート ", " ダイヤ ", " クラブ "};
    return std::string("|  ") + names[c.suit] + "  |";
}
std::string valueRow(const Card& c) {
    const char* const labels[14] = {"",   " A", " 2", " 3", " 4", " 5", " 6",
                                    " 7", " 8", " 9", "10", " J", " Q", " K"};
    return std::string("|     ") + labels[c.value] + "     |";
}

void expectCardAt(const ScreenGrid& page, int column, const Card& c) {
    EXPECT_SNAPSHOT_TEXT_AT(page, column, 13, suitRow(c));
    EXPECT_SNAPSHOT_TEXT_AT(page, column, 15, valueRow(c));
}

TEST(HighAndLow, GuessInTheSameSecondDrawsTheNextCardOfTheSequence) {
    const std::int64_t second = 1'800'000'000;
    seedRandom(static_cast<std::uint32_t>(second));
    const Card first = drawCardAsTheGame();
    const Card next = drawCardAsTheGame();
    ASSERT_FALSE(first.suit == next.suit && first.value == next.value);

    vt::Options options;
    options.wallClockStart = second;
    vt::reset(options);
    vt::type("x");
    vt::typeLines({"1"});
    vt::type(" ");
    vt::type(" ");
    int result = -1;
    vt::run([&] { result = playHighAndLow(); });
    EXPECT_FALSE(vt::inputExhausted());
    EXPECT_EQ(result, next.value >= first.value ? 1 : 0);

    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 4u);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 24, 7, "～ High & Low ～");
    expectCardAt(snaps[1], 8, first);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[1], 1, 39, "    High and Low ...   High : 1  ,  Low : 0  >> ");
    expectCardAt(snaps[2], 8, first);
    expectCardAt(snaps[2], 26, next);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 22, "You Choice  :  High");
    EXPECT_EQ(snaps[2].rowText(39), std::string(80, ' '));  // the prompt is gone
    EXPECT_SNAPSHOT_TEXT_AT(snaps[3], 1, 30, result == 1 ? "You Win !!" : "You Lose ...");
}

TEST(HighAndLow, SecondCardNeverEqualsTheFirst) {
    // A guess some seconds later whose seeding starts with the very same card. Neighbouring
    // seeds rarely give the same first card, so look over a few gaps.
    std::int64_t start = 0;
    int gap = 0;
    Card first{}, redrawn{};
    for (int g = 1; g <= 60 && start == 0; ++g) {
        for (std::int64_t s = 1'800'000'000; s < 1'800'001'000; ++s) {
            seedRandom(static_cast<std::uint32_t>(s));
            first = drawCardAsTheGame();
            seedRandom(static_cast<std::uint32_t>(s + g));
            const Card again = drawCardAsTheGame();
            if (again.suit == first.suit && again.value == first.value) {
                redrawn = drawCardAsTheGame();
                start = s;
                gap = g;
                break;
            }
        }
    }
    ASSERT_NE(start, 0);
    ASSERT_FALSE(redrawn.suit == first.suit && redrawn.value == first.value);

    vt::Options options;
    options.wallClockStart = start;
    vt::reset(options);
    vt::type("x");
    vt::typeAt(gap * 1000, "0\r");
    vt::type(" ");
    vt::type(" ");
    int result = -1;
    vt::run([&] { result = playHighAndLow(); });
    EXPECT_EQ(result, redrawn.value <= first.value ? 1 : 0);
    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 4u);
    expectCardAt(snaps[2], 26, redrawn);
    EXPECT_SNAPSHOT_TEXT_AT(snaps[2], 8, 22, "You Choice  :  Low ");
}

TEST(HighAndLow, OtherAnswersAskAgainWithTheCardStanding) {
    vt::reset();
    seedRandom(static_cast<std::uint32_t>(vt::Options{}.wallClockStart));
    const Card first = drawCardAsTheGame();
    vt::type("x");
    vt::typeLines({"2", "-1", "hi", "1"});
    vt::type(" ");
    vt::type(" ");
    vt::run([] { playHighAndLow(); });
    EXPECT_FALSE(vt::inputExhausted());
    const auto& snaps = vt::snapshots();
    ASSERT_EQ(snaps.size(), 7u);
    for (int i = 2; i <= 4; ++i) {
        EXPECT_EQ(snaps[i].textAt(1, 39, 50), "    High and Low ...   High : 1  ,  Low : 0  >>   ")
            << i;
        EXPECT_EQ(snaps[i].rowText(40), std::string(80, ' ')) << i;
        expectCardAt(snaps[i], 8, first);
    }
}

}  // namespace
