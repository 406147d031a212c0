#include "minigames/high_and_low.hpp"

#include <array>

#include "console/console.hpp"
#include "console/pictures.hpp"
#include "console/random.hpp"
#include "console/screen.hpp"
#include "minigames/minigames.hpp"
#include "minigames/rules_page.hpp"

namespace {

constexpr std::array<PlacedText, 7> kRules{{
    {24, 7, "～ High & Low ～"},
    {8, 14, "ルール"},
    {8, 16, "・ゲーム開始時、1枚のカードが表示されます。"},
    {8, 18, "・あなたは次に出るカードが、そのカードの数値より大きいか"},
    {8, 20, "  小さいかを予想してください。予想が当たればあなたの勝利、"},
    {8, 22, "  外れれば負けです。"},
    {8, 24, "・尚、同数であればあなたの勝ちとします。"},
}};

struct Card {
    int suit;   // 0 to 3
    int value;  // 1 (ace) to 13 (king)
};

Card drawRandomCard() {
    Card card{};
    card.suit = nextRandom() % 4;
    card.value = nextRandom() % 13 + 1;
    return card;
}

}  // namespace

bool highLowWins(int answer, int firstValue, int secondValue) {
    return answer == kAnswerHigh ? secondValue >= firstValue : secondValue <= firstValue;
}

int playHighAndLow() {
    showRulesPage(kRules);
    clearScreen();

    seedRandomFromClock();
    const Card first = drawRandomCard();
    drawCard(8, 10, first.suit, first.value);

    const int answer = promptNumberFrom(39, "    High and Low ...   High : 1  ,  Low : 0  >> ",
                                        {kAnswerLow, kAnswerHigh});
    clearPromptLine(1);

    // Within the same second this seeding repeats the first card's draws; the redraw below
    // then moves on to the next card of that sequence.
    seedRandomFromClock();
    Card second = drawRandomCard();
    while (second.suit == first.suit && second.value == first.value) {
        second = drawRandomCard();
    }

    drawCard(8, 10, first.suit, first.value);
    drawCard(26, 10, second.suit, second.value);
    moveCursor(8, 22);
    printPlain("You Choice  :  ");
    printPlain(answer == kAnswerHigh ? "High" : "Low");
    waitKeyAt(1, 39);

    const bool won = highLowWins(answer, first.value, second.value);
    moveCursor(1, 30);
    printPlain(won ? "You Win !!" : "You Lose ...");
    waitKeyAt(1, 39);
    return won ? 1 : 0;
}
