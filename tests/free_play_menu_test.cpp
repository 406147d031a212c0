// The free-play menu: what each choice starts, the re-asking, and no stakes.
#include <cstring>

#include "state/player_state.hpp"
#include "support/minigame_play.hpp"

namespace {

const char* const kPrompt = "遊ぶミニゲームの番号を選択してください > ";

TEST(FreePlayMenu, ChoicesStartTheirGames) {
    // The lines for 3 and 4 read 短距離走 and 射的ゲーム: the two are crossed over.
    const std::pair<const char*, const char*> cases[] = {{"3", "～ 射的ゲーム ～"},
                                                         {"4", "～ 短距離走ゲーム ～"}};
    for (const auto& [choice, title] : cases) {
        SCOPED_TRACE(choice);
        vt::reset();
        vt::typeLines({choice});
        EXPECT_EQ(vt::run(freePlayMenu), 1);  // the keys run out on the rules page
        EXPECT_TEXT_AT(16, 7, title);
    }
}

TEST(FreePlayMenu, RefusedEntriesClearRowsThirtyNineAndFortyAndAskAgain) {
    vt::reset();
    vt::typeLines({"12", "-1", "abc", "0"});
    EXPECT_EQ(vt::run(freePlayMenu), -1);  // 0 returns without a key wait of its own
    EXPECT_EQ(vt::snapshots().size(), 4u);
    EXPECT_EQ(vt::snapshots().front().rowText(39), std::string(79, '*') + " ");
    EXPECT_EQ(vt::rowText(39), std::string(80, ' '));
    EXPECT_EQ(vt::rowText(40),
              kPrompt + std::string("0") + std::string(80 - textColumns(kPrompt) - 1, ' '));
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
    // The sprint's last key wait showed the win; the next read is the menu's own prompt.
    const auto& pages = vt::snapshots();
    ASSERT_GE(pages.size(), 3u);
    EXPECT_SNAPSHOT_TEXT_AT(pages[pages.size() - 2], 30, 35, "クリア！");
    EXPECT_SNAPSHOT_TEXT_AT(pages.back(), 1, 40, kPrompt);
    EXPECT_EQ(std::memcmp(&before, &player, sizeof player), 0);
}

}  // namespace
