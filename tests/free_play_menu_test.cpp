// The free-play menu: what each choice starts, the re-asking, and no stakes.
#include <cstring>

#include "state/player_state.hpp"
#include "support/minigame_play.hpp"

namespace {

const char* const kPrompt = "遊ぶミニゲームの番号を選択してください > ";

// The lines for 3 and 4 read 短距離走 and 射的ゲーム: the two games are crossed over.
TEST(FreePlayMenu, RefusedEntriesClearRowsThirtyNineAndFortyAndAskAgain) {
    vt::reset();
    vt::typeLines({"12", "-1", "abc", "3"});
    EXPECT_EQ(vt::run(freePlayMenu), 1);  // the keys run out on the game's rules page
    const auto& pages = vt::snapshots();
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_EQ(pages[0].rowText(39), std::string(79, '*') + " ");
    for (int i = 1; i <= 3; ++i) {  // no menu redrawn, 12 included
        EXPECT_EQ(pages[i].rowText(39), std::string(80, ' ')) << i;
        EXPECT_EQ(pages[i].rowText(40), kPrompt + std::string(80 - textColumns(kPrompt), ' ')) << i;
    }
    EXPECT_SNAPSHOT_TEXT_AT(pages[4], 16, 7, "～ 射的ゲーム ～");
}

TEST(FreePlayMenu, AWonGameChangesNothingAndTheMenuComesStraightBack) {
    vt::reset();
    applyNewGameDefaults();
    const PlayerState before = player;
    vt::typeLines({"4"});
    vt::type(" ");                              // the sprint's rules page
    vt::typeAt(5000, alternatingPresses(147));  // a goal in about two seconds: a win
    pressKeys(3);
    vt::typeLines({"0"});
    EXPECT_EQ(vt::run(freePlayMenu), -1);
    // The sprint's last key wait showed the win; the menu's prompt came straight back, and 0
    // returned without a key wait of its own.
    const auto& pages = vt::snapshots();
    ASSERT_GE(pages.size(), 3u);
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 16, 7, "～ 短距離走ゲーム ～");
    EXPECT_SNAPSHOT_TEXT_AT(pages[pages.size() - 2], 30, 35, "クリア！");
    EXPECT_SNAPSHOT_TEXT_AT(pages.back(), 1, 40, kPrompt);
    EXPECT_EQ(std::memcmp(&before, &player, sizeof player), 0);
}

// The cursor would trail the runner, the target and the ball: it is hidden while they move
// and shown again at every key wait.
TEST(TimingGames, HideTheCursorWhileTheyAnimate) {
    const auto sprint = [] {
        vt::type(" ");
        vt::typeAt(5000, alternatingPresses(147));
        pressKeys(3);
        return playSprint;
    };
    const auto shooting = [] {
        pressKeys(2);
        vt::typeAt(5000, " ");
        pressKeys(1);
        return playShooting;
    };
    const auto batting = [] {
        vt::type(" ");
        vt::typeAt(100, "3\r");
        vt::typeAt(6000, "j");
        pressKeys(1);
        return playBatting;
    };
    for (const auto& script : {+sprint, +shooting, +batting}) {
        vt::reset();
        EXPECT_GE(gameResult(script()), 0);
        EXPECT_GE(vt::writesWithCursorHidden(), 20);
        EXPECT_EQ(vt::keyWaitsWithCursorHidden(), 0);
        EXPECT_TRUE(vt::cursorVisible());
    }
}

}  // namespace
