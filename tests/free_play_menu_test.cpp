// The free-play menu: what each choice starts, the re-asking, and no stakes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "minigames/minigames.hpp"
#include "state/player_state.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

const char* const kPrompt = "遊ぶミニゲームの番号を選択してください > ";

TEST(FreePlayMenu, ChoicesStartTheirGames) {
    struct Case {
        const char* choice;
        const char* title;  // on the rules page of the game started
    };
    const Case cases[] = {
        {"3", "～ 射的ゲーム ～"},      // the line reads 短距離走
        {"4", "～ 短距離走ゲーム ～"},  // the line reads 射的ゲーム
        {"5", "～ バッティングゲーム ～"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.choice);
        vt::reset();
        vt::typeLines({c.choice});
        EXPECT_EQ(vt::run(freePlayMenu), 1);  // the keys run out on the rules page
        EXPECT_TEXT_AT(24, 5, "Battle  !!!");
        EXPECT_TEXT_AT(16, 7, c.title);
        EXPECT_EQ(vt::runningTimers(), 0);
    }
}

TEST(FreePlayMenu, RefusedEntriesClearRowsThirtyNineAndFortyAndAskAgain) {
    vt::reset();
    vt::typeLines({"12", "-1", "abc", "0"});
    EXPECT_EQ(vt::run(freePlayMenu), -1);  // 0 returns without a key wait of its own
    const std::string stars(79, '*');
    EXPECT_EQ(vt::snapshots().front().rowText(39), stars + " ");
    EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots().front(), 1, 40, kPrompt);
    EXPECT_TEXT_AT(16, 4, " 1.  大小");
    EXPECT_TEXT_AT(16, 10, " 4.  射的ゲーム");
    EXPECT_TEXT_AT(16, 24, "11.  ビンゴゲーム 99");
    EXPECT_TEXT_AT(16, 26, " 0.  タイトル画面に戻る");
    EXPECT_EQ(vt::rowText(38), "*" + std::string(77, ' ') + "* ");
    EXPECT_EQ(vt::rowText(39), std::string(80, ' '));
    EXPECT_EQ(vt::rowText(40),
              kPrompt + std::string("0") + std::string(80 - textColumns(kPrompt) - 1, ' '));
    EXPECT_EQ(vt::rowText(41), std::string(80, ' '));
}

TEST(FreePlayMenu, AWonGameChangesNothingAndTheMenuComesStraightBack) {
    vt::reset();
    applyNewGameDefaults();
    player.life = 3;
    player.coin = 1234;
    player.exp = 42;
    player.level = 2;
    const PlayerState before = player;

    vt::typeLines({"4"});
    vt::type(" ");  // the sprint's rules page
    std::string presses;
    for (int i = 0; i < 147; ++i) {
        presses += i % 2 == 0 ? '1' : '2';
    }
    vt::typeAt(5000, presses);  // a goal in about two seconds: a win
    vt::type("a");
    vt::type("b");
    vt::type("c");
    vt::typeLines({"0"});
    EXPECT_EQ(vt::run(freePlayMenu), -1);

    const auto& pages = vt::snapshots();
    ASSERT_GE(pages.size(), 3u);
    // The sprint's last key wait showed the win; the next read is the menu's own prompt.
    const ScreenGrid& result = pages[pages.size() - 2];
    EXPECT_SNAPSHOT_TEXT_AT(result, 30, 35, "クリア！");
    EXPECT_SNAPSHOT_TEXT_AT(pages.back(), 16, 4, " 1.  大小");
    EXPECT_SNAPSHOT_TEXT_AT(pages.back(), 1, 40, kPrompt);
    EXPECT_EQ(std::memcmp(&before, &player, sizeof player), 0);
}

}  // namespace
