// The title cycle, the menus and the stage rules, played through the real main loop.
#include "frontend/frontend.hpp"

#include <gtest/gtest.h>

#include "console/console.hpp"
#include "endings/endings.hpp"
#include "frontend/main_loop.hpp"
#include "state/player_state.hpp"
#include "support/golden_page.hpp"
#include "support/map_directory.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

// Start-up hint, credits, title (7 refused, 1), main menu (0), credits, title (0), closing page.
TEST(TitleCycle, MainMenuAndBackThenQuitWithStatusZero) {
    vt::reset();
    vt::type("x");
    vt::typeLines({"7", "1", "0", "0"});
    vt::type("x");
    EXPECT_EQ(vt::run([] { runGame(); }), 0);
    EXPECT_FALSE(vt::inputExhausted());
    // Two rounds of 6 s of credit pages.
    EXPECT_GE(vt::nowMs(), 12000);
    EXPECT_LT(vt::nowMs(), 13000);

    const auto& snaps = vt::snapshots();
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 1, 1, "<< ゲームを始める前に画面を最大にしましょう。 >>");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 1, 2, "<< いずれかのキーを押すとゲームをスタートします >>");
    const std::string prompt = "  メニューから数字を選び入力してください  >>  ";
    const auto titles = snapshotsShowing(1, 40, prompt);
    ASSERT_FALSE(titles.empty());
    const ScreenGrid& page = snaps[titles[0]];
    EXPECT_PAGE(page, "title");
    // A pip takes two columns: the first of the middle die's stands in 33 and 34.
    EXPECT_EQ(page.at(33, 21).glyph, "●");
    EXPECT_TRUE(page.at(34, 21).continuation);
    // 7 was refused: after its Enter the prompt was asked again, alone on its row.
    EXPECT_SNAPSHOT_TEXT_AT(snaps.at(titles[0] + 1), 1, 40, prompt + " ");
    EXPECT_SNAPSHOT_TEXT_AT(snaps.back(), 20, 20, "ペルヴァロ  制作 : Pervaro team");
}

TEST(MainMenu, EntriesAndTheExtraModeEntry) {
    for (const int extra : {0, 1}) {
        vt::reset();
        applyNewGameDefaults();
        player.extraMode = extra;
        vt::typeLines({"4", "0"});
        vt::run([] { mainMenu(); });
        const auto& snaps = vt::snapshots();
        ASSERT_GE(snaps.size(), 2u);
        EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 16, 16,
                                extra ? "4.  ミニゲームで遊ぶ" : std::string(20, ' '));
        // Without extra mode 4 is refused and the prompt asked again; with it 4 opens the
        // free-play menu and the menu waits for a key after it.
        EXPECT_EQ(snaps[1].textAt(1, 40, 8) == "実行メニ", extra == 0);
    }
}

// A stage is open up to both the highest stage reached and the level; a refused entry is asked
// for again at once, an open one is played (its board comes from the map files), and 0 waits
// for one key before the main menu returns.
TEST(StageSelection, LockRuleAndList) {
    // Highest stage, level, entry, and whether a stage is played.
    const std::tuple<int, int, std::string, bool> cases[] = {
        {1, 5, "2", false}, {3, 2, "3", false}, {3, 2, "2", true},   {6, 9, "6", false},
        {6, 9, "5", true},  {1, 1, "1", true},  {2, 2, "-1", false}, {3, 2, "0", false},
    };
    MapDirectory maps;
    for (const auto& [highestStage, level, entry, played] : cases) {
        SCOPED_TRACE(std::to_string(highestStage * 10 + level) + " " + entry);
        vt::reset();
        applyNewGameDefaults();
        player.highestStage = highestStage;
        player.level = level;
        vt::typeLines({entry});
        vt::type("x");
        // Only 0 returns; the rest end where the scripted keys run out.
        EXPECT_EQ(vt::run([] { stageSelection(); }), entry == "0" ? -1 : 1);
        const auto& snaps = vt::snapshots();
        ASSERT_GE(snaps.size(), 2u);
        EXPECT_EQ(snaps[1].textAt(16, 12, 10) != " 1. stage ", played);
        EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 16, 14,
                                highestStage >= 2 && level >= 2
                                    ? " 2. stage  2 ( 挑戦可能LV :  2 ) をプレイする"
                                    : "(ステージが解放されていません)");
    }
}

// The unlock rule, the clear counts and the stage-clear layouts; a first clear adds the shop line.
TEST(StageSelection, UnlockRuleClearCountsAndClearPages) {
    struct Case {
        int stage, highestStage, level, clearsBefore, highestAfter, column, row;
        const char* text;
    };
    const Case cases[] = {
        {1, 1, 1, 0, 1, 24, 8, "Congratulation !!"},  // LV too low
        {1, 1, 2, 1, 2, 8, 6, "Congratulation !!"},
        {1, 3, 9, 4, 3, 16, 20, "このエリアは既にクリアしています。"},  // an older stage
        {5, 5, 6, 0, 6, 8, 8, "ステージクリア おめでとうございます !!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stage * 10 + c.highestStage);
        vt::reset();
        applyNewGameDefaults();
        player.highestStage = c.highestStage;
        player.level = c.level;
        player.stageClears[c.stage - 1] = c.clearsBefore;
        vt::run([&] { finishClearedStage(c.stage); });
        EXPECT_EQ(player.highestStage, c.highestAfter);
        EXPECT_EQ(player.stageClears[c.stage - 1], c.clearsBefore + 1);
        EXPECT_TEXT_AT(c.column, c.row, c.text);
        EXPECT_EQ(vt::textAt(8, 30, 44) == "ショップの品揃えが増えたとの連絡が来ました。",
                  c.clearsBefore == 0);
        EXPECT_TEXT_AT(1, 39, std::string(79, '*'));
    }
}

}  // namespace
