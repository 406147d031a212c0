// The free-play menu: what each choice starts, the re-asking, and no stakes.
#include <cstring>

#include "support/play.hpp"

// A refused entry clears rows 39 and 40 and asks again without redrawing the menu.
TEST(FreePlayMenu, RefusedEntriesAskAgain) {
    EXPECT_EQ(play({"12\r", "-1\r", "abc\r", "0\r"}, [] { return freePlayMenu(), 1; }), 1);
    ASSERT_EQ(vt::snapshots().size(), 4u);
    expectPages({{0, "free_play_menu"}, {1, "free_play_menu_again"}, {3, "free_play_menu_again"}});
}

// Each entry starts its game, as the rules page shows, with its argument (the ladder's picks,
// the bingo's highest number). The lines for 3 and 4 read 短距離走 and 射的ゲーム: the two games
// are crossed over.
TEST(FreePlayMenu, EachEntryStartsItsGame) {
    const char* const rules[] = {"big_or_small_rules", "high_and_low_rules", "shooting_rules",
                                 "sprint_rules",       "batting_rules",      "ladder_rules_one",
                                 "ladder_rules_two",   "bingo_rules_25",     "bingo_rules_50",
                                 "bingo_rules_75",     "bingo_rules_99"};
    for (int entry = 1; entry <= 11; ++entry) {
        EXPECT_EQ(play({std::to_string(entry) + "\r"}, [] { return freePlayMenu(), 0; }), -1);
        EXPECT_TRUE(matchesPage(page(1), rules[entry - 1]))
            << "entry " << entry << " starts the game of " << rules[entry - 1];
    }
}

// 4 starts the sprint; a win changes nothing, the menu comes straight back, and 0 returns
// without a key wait of its own.
TEST(FreePlayMenu, AWonGameChangesNothingAndTheMenuComesStraightBack) {
    newGameAt();
    const PlayerState before = player;
    typeKeys({"4\r", " "});             // the sprint's rules page
    vt::typeAt(5000, pressesToGoal());  // a goal in about two seconds: a win
    EXPECT_EQ(playWith(Keys(3, " ") + Keys{"0\r"}, [] { return freePlayMenu(), 0; }), 0);
    expectPages({{1, "sprint_rules"}, {-1, "free_play_menu"}});
    EXPECT_AT(page(-2), 30, 35, "クリア！");
    EXPECT_EQ(std::memcmp(&before, &player, sizeof player), 0);
}
