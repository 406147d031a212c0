// The free-play menu: what each choice starts, the re-asking, and no stakes.
#include <cstring>

#include "support/play.hpp"

// A refused entry clears rows 39 and 40 and asks again without redrawing the menu. The lines
// for 3 and 4 read 短距離走 and 射的ゲーム: the two games are crossed over.
TEST(FreePlayMenu, RefusedEntriesAskAgainAndThreeStartsTheShootingGallery) {
    // The keys run out on the game's rules page.
    EXPECT_EQ(play({"12\r", "-1\r", "abc\r", "3\r"}, [] { return freePlayMenu(), 0; }), -1);
    ASSERT_EQ(vt::snapshots().size(), 5u);
    // clang-format off
    expectPages({{0, "free_play_menu"}, {1, "free_play_menu_again"}, {3, "free_play_menu_again"},
                 {4, "shooting_rules"}});
    // clang-format on
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
