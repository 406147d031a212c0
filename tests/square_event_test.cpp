// Square events: the four happenings, a lost mini-game, the mini-game rewards and experience.
#include "board/square_event.hpp"

#include "support/play.hpp"

// A clock whose seed gives the event roll and then a draw that is `next` modulo `mod`.
static std::int64_t clockWhere(int roll, int mod = 1, int next = 0) {
    return findSeedSecond([&] { return nextRandom() % 20 == roll && nextRandom() % mod == next; });
}

// The four happenings at stages 1 and 5, their random amounts at both ends, and their edge
// cases; and a lost mini-game.
TEST(SquareEvent, HappeningsAndALostMiniGame) {
    // The clock, the stage; life, maxLifeUnits, coin before; life (the result) and coin after;
    // the result line after "このBattleでの結果 :  "; the event's own page, if any.
    // clang-format off
    const std::tuple<std::int64_t, int, std::array<int, 5>, const char*, const char*> cases[] = {
        {clockWhere(0), 1, {5, 1, 100, 4, 100}, "LIFE -1  , COIN -0", ""},
        {clockWhere(0), 5, {10, 2, 100, 5, 100}, "LIFE -5  , COIN -0", "event_trap"},
        // The wallet loses 150 / (1 to 10) a stage.
        {clockWhere(1, 10, 0), 1, {5, 1, 1000, 5, 850}, "LIFE -0  , COIN -150", ""},
        {clockWhere(1, 10, 9), 1, {5, 1, 1000, 5, 985}, "LIFE -0  , COIN -15", ""},
        {clockWhere(1, 10, 0), 5, {5, 1, 1000, 5, 250}, "LIFE -0  , COIN -750", "event_wallet"},
        {clockWhere(1, 10, 9), 5, {5, 1, 1000, 5, 925}, "LIFE -0  , COIN -75", ""},
        // 75 lost with 40 held takes it all; with nothing held nothing is lost.
        {clockWhere(1, 10, 1), 1, {5, 1, 40, 5, 0}, "LIFE -0  , COIN -75", "event_wallet_all"},
        {clockWhere(1, 10, 4), 1, {5, 1, 0, 5, 0}, "LIFE -0  , COIN -30", "event_wallet_empty"},
        {clockWhere(2), 5, {2, 2, 0, 7, 0}, "LIFE +5  , COIN +0 , 経験値 +0", "event_fountain"},
        {clockWhere(2), 4, {8, 2, 0, 10, 0}, "LIFE +4  , COIN +0 , 経験値 +0", "event_healed_up"},
        // At full LIFE, and over-full LIFE brought down.
        {clockWhere(2), 1, {5, 1, 0, 5, 0}, "LIFE +1  , COIN +0 , 経験値 +0", "event_at_full"},
        {clockWhere(2), 2, {8, 1, 0, 5, 0}, "LIFE +2  , COIN +0 , 経験値 +0", "event_at_full"},
        // The coins found are 1500 / (1 to 5) a stage.
        {clockWhere(3, 5, 0), 1, {5, 1, 100, 5, 1600}, "LIFE +0  , COIN +1500 , 経験値 +0", ""},
        {clockWhere(3, 5, 4), 1, {5, 1, 100, 5, 400}, "LIFE +0  , COIN +300 , 経験値 +0", ""},
        {clockWhere(3, 5, 0), 5, {5, 1, 100, 5, 7600}, "LIFE +0  , COIN +7500 , 経験値 +0",
         "event_coins"},
        {clockWhere(3, 5, 4), 5, {5, 1, 100, 5, 1600}, "LIFE +0  , COIN +1500 , 経験値 +0", ""},
        // Batting, its swing only once the ball has passed: a lost game that costs the last LIFE.
        {clockWhere(4), 3, {2, 1, 1000, 0, 1000}, "LIFE -2  , COIN -150", "batting_rules"},
    };
    // clang-format on
    for (const auto& [clock, stage, lives, result, name] : cases) {
        SCOPED_TRACE(testing::Message() << "stage " << stage << ", " << result);
        newGameAt(clock);
        player.life = lives[0], player.maxLifeUnits = lives[1], player.coin = lives[2];
        // Keys: the batting speed, or a key at a key wait.
        EXPECT_EQ(
            playWith(Keys{" ", "3\r"} + Keys(12, " "), [s = stage] { return squareEvent(s); }),
            lives[3]);
        if (*name) {
            expectPages({{0, name}});
        }
        EXPECT_NE(vt::output().find(std::string("\x1b[20;8HこのBattleでの結果 :  ") + result),
                  std::string::npos);
        EXPECT_EQ(std::pair(player.life, player.coin), std::pair(lives[3], lives[4]));
    }
}

// Rolls 4 to 19 are the mini-games: the rules page tells which, and its argument (the bingo's
// highest number, the ladder's picks). The rolls 0 to 3 are the happenings above.
TEST(SquareEvent, EachRollStartsItsMiniGame) {
    const char* const rules[] = {
        "batting_rules",      "batting_rules",      "bingo_rules_99",     "bingo_rules_50",
        "bingo_rules_25",     "bingo_rules_25",     "ladder_rules_one",   "ladder_rules_two",
        "high_and_low_rules", "high_and_low_rules", "big_or_small_rules", "big_or_small_rules",
        "sprint_rules",       "sprint_rules",       "shooting_rules",     "shooting_rules"};
    for (int roll = 4; roll < 20; ++roll) {
        EXPECT_EQ(play(
                      {}, [] { return squareEvent(1); }, clockWhere(roll)),
                  -1);
        EXPECT_TRUE(matchesPage(page(0), rules[roll - 4]))
            << "roll " << roll << " starts the game of " << rules[roll - 4];
    }
}

// Result 0 is a loss, which gives no experience; a win gives 10 per stage at level 1.
TEST(MiniGameReward, EveryRowAndStageAndExperience) {
    // The rolls, the game's result, and LIFE and COIN at stages 1 to 5.
    // clang-format off
    const std::tuple<int, int, int, std::array<int, 5>, std::array<int, 5>> cases[] = {
        {4, 5, 0, {1, 1, 2, 2, 2}, {50, 100, 150, 200, 250}},     // batting
        {6, 6, 0, {1, 1, 1, 1, 2}, {15, 30, 45, 60, 75}},         // bingo of 99
        {7, 7, 0, {1, 1, 1, 2, 2}, {18, 37, 56, 75, 93}},         // bingo of 50
        {8, 9, 0, {1, 1, 2, 2, 2}, {25, 50, 75, 100, 125}},       // bingo of 25
        {10, 10, 0, {1, 1, 1, 2, 2}, {30, 60, 90, 120, 150}},     // ladder, one line
        {11, 11, 0, {1, 2, 2, 3, 3}, {50, 100, 150, 200, 250}},   // ladder, two lines
        {12, 19, 0, {1, 2, 3, 4, 5}, {150, 300, 450, 600, 750}},  // the others
        {5, 5, 13, {4, 8, 12, 16, 20}, {1950, 3900, 5850, 7800, 9750}},
        {6, 6, 3, {5, 8, 11, 14, 17}, {6750, 13500, 20250, 27000, 33750}},
        {7, 7, 5, {6, 11, 16, 21, 26}, {5250, 10500, 15750, 21000, 26250}},
        {9, 9, 4, {4, 8, 12, 16, 20}, {1200, 2400, 3600, 4800, 6000}},
        {10, 10, 1, {1, 1, 1, 2, 2}, {750, 1500, 2250, 3000, 3750}},
        {11, 11, 1, {1, 2, 2, 3, 3}, {450, 900, 1350, 1800, 2250}},
        {12, 12, 1, {1, 2, 3, 4, 5}, {150, 300, 450, 600, 750}},
        {14, 14, 150, {75, 150, 225, 300, 375}, {22500, 45000, 67500, 90000, 112500}},
        {16, 16, 1, {0, 1, 1, 2, 2}, {150, 300, 450, 600, 750}},
    };
    // clang-format on
    applyNewGameDefaults();
    for (const auto& [firstRoll, lastRoll, result, life, coin] : cases) {
        for (int roll = firstRoll; roll <= lastRoll; ++roll) {
            for (int s = 1; s <= 5; ++s) {
                const BattleResult r = miniGameReward(roll, s, result);
                EXPECT_EQ(std::tuple(r.lifeDelta, r.coinDelta, r.expGain, r.outcome),
                          std::tuple(life[s - 1], coin[s - 1], result ? 10 * s : 0, result))
                    << "roll " << roll << ", result " << result << ", stage " << s;
            }
        }
    }
    // stage, level, highest stage, gain: (10 / 4) / 2 for an outgrown stage; not halved at the
    // highest stage reached or when none higher was; a damaged save's level 0 counts as 1.
    for (const auto& [stage, level, highest, gain] :
         {std::array{1, 4, 3, 1}, {3, 4, 3, 7}, {1, 4, 1, 2}, {2, 0, 1, 20}}) {
        player.level = level, player.highestStage = highest;
        EXPECT_EQ(miniGameExperience(stage), gain) << stage << " " << level;
    }
}
