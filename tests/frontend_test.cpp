// The title cycle, the menus and the stage rules, played through the real main loop.
#include "frontend/frontend.hpp"

#include <gtest/gtest.h>

#include <sstream>

#include "console/console.hpp"
#include "endings/endings.hpp"
#include "frontend/main_loop.hpp"
#include "state/player_state.hpp"
#include "support/map_directory.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

// Finds the first snapshot (page at a key wait) whose row holds the text at the column.
int findSnapshot(int column, int row, const std::string& text, int from = 0) {
    const auto& snaps = vt::snapshots();
    for (int i = from; i < static_cast<int>(snaps.size()); ++i) {
        if (snaps[static_cast<std::size_t>(i)].textAt(column, row, textColumns(text)) == text) {
            return i;
        }
    }
    return -1;
}

// Checks "column row text" lines, one a line, on the screen as it stands.
void expectLines(const std::string& lines) {
    std::istringstream in(lines);
    int column = 0, row = 0;
    std::string text;
    while (in >> column >> row && std::getline(in >> std::ws, text)) {
        EXPECT_TEXT_AT(column, row, text);
    }
}

TEST(TitleCycle, QuitFromTheTitleEndsWithStatusZero) {
    vt::reset();
    vt::type("x");
    vt::typeLines({"7", "1", "0", "0"});
    vt::type("x");
    EXPECT_EQ(vt::run([] { runGame(); }), 0);
    EXPECT_FALSE(vt::inputExhausted());

    const auto& snaps = vt::snapshots();
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 1, 1, "<< ゲームを始める前に画面を最大にしましょう。 >>");
    EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 1, 2, "<< いずれかのキーを押すとゲームをスタートします >>");
    const char* const prompt = "  メニューから数字を選び入力してください  >>  ";
    const int title = findSnapshot(1, 40, prompt);
    ASSERT_GE(title, 0);
    const ScreenGrid& page = snaps[static_cast<std::size_t>(title)];
    EXPECT_SNAPSHOT_TEXT_AT(page, 1, 1, std::string(79, '*'));
    EXPECT_SNAPSHOT_TEXT_AT(page, 24, 5, "◆ ペルヴァロ ◆");
    EXPECT_SNAPSHOT_TEXT_AT(page, 12, 22, "|   ●   |          |   ●   |          |   ●   |");
    EXPECT_SNAPSHOT_TEXT_AT(page, 8, 34, "0.  ゲームを終了する");
    // A pip takes two columns: the first of the middle die's stands in 33 and 34.
    EXPECT_EQ(page.at(33, 21).glyph, "●");
    EXPECT_TRUE(page.at(34, 21).continuation);
    // 7 was refused: the prompt was asked again.
    EXPECT_GT(findSnapshot(1, 40, prompt, title + 1), title);
    EXPECT_SNAPSHOT_TEXT_AT(snaps.back(), 20, 20, "ペルヴァロ  制作 : Pervaro team");
}

TEST(TitleCycle, LeavingTheMainMenuShowsTheCreditPagesAgain) {
    vt::reset();
    vt::type("x");
    vt::typeLines({"1", "0", "0"});
    vt::type("x");
    vt::run([] { runGame(); });
    // Start-up hint, 6 s of credits, title, main menu, 6 s of credits, title.
    EXPECT_GE(vt::nowMs(), 12000);
    EXPECT_LT(vt::nowMs(), 13000);
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
        EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 16, 10, "1.  すごろくステージへ");
        EXPECT_SNAPSHOT_TEXT_AT(snaps[0], 16, 16,
                                extra ? "4.  ミニゲームで遊ぶ" : "                    ");
        // Without extra mode 4 is refused and the prompt asked again; with it 4 opens the
        // free-play menu and the menu waits for a key after it.
        EXPECT_EQ(snaps[1].textAt(1, 40, 8) == "実行メニ", extra == 0);
    }
}

TEST(StageSelection, LockRule) {
    struct Case {
        int highestStage, level;
        const char* entry;
        bool accepted;
    };
    const Case cases[] = {
        {1, 5, "2", false}, {3, 2, "3", false}, {3, 2, "2", true},   {6, 9, "6", false},
        {6, 9, "5", true},  {1, 1, "1", true},  {2, 2, "-1", false},
    };
    // An accepted stage is played: its board is drawn from the map files.
    MapDirectory maps;
    for (const Case& c : cases) {
        vt::reset();
        applyNewGameDefaults();
        player.highestStage = c.highestStage;
        player.level = c.level;
        vt::typeLines({c.entry});
        vt::run([] { stageSelection(); });
        const auto& snaps = vt::snapshots();
        ASSERT_GE(snaps.size(), 2u);
        // A refused entry is asked for again at once; an accepted one clears the page.
        const bool stillListed = snaps[1].textAt(16, 12, 10) == " 1. stage ";
        EXPECT_EQ(!stillListed, c.accepted) << c.highestStage << "/" << c.level << " " << c.entry;
    }
}

TEST(StageSelection, LockedLinesFollowLevelAndHighestStage) {
    vt::reset();
    applyNewGameDefaults();
    player.highestStage = 3;
    player.level = 2;
    vt::typeLines({"0"});
    vt::type("x");
    vt::run([] { stageSelection(); });
    // Choosing 0 still waits for one key before the main menu returns.
    ASSERT_EQ(vt::snapshots().size(), 2u);
    const ScreenGrid& page = vt::snapshots()[0];
    EXPECT_SNAPSHOT_TEXT_AT(page, 16, 14, " 2. stage  2 ( 挑戦可能LV :  2 ) をプレイする");
    EXPECT_SNAPSHOT_TEXT_AT(page, 16, 16, "(ステージが解放されていません)");
    EXPECT_SNAPSHOT_TEXT_AT(page, 8, 34, " 0. 戻る");
}

// The unlock rule, the clear counts and the three stage-clear layouts.
TEST(StageSelection, UnlockRuleClearCountsAndClearPages) {
    struct Case {
        int stage, highestStage, level, clearsBefore, highestAfter;
        const char* lines;
    };
    const Case cases[] = {
        // LV too low; the first clear of the newest stage adds the shop lines
        {1, 1, 1, 0, 1,
         "24 8 Congratulation !!\n8 10 支配していた魔物が隠し持っていた秘蔵の書を発見しました。\n"
         "8 12 しかし、あなたのLVが足りず、秘蔵の書の封印を解くことが出来ない。\n"
         "8 30 ショップの品揃えが増えたとの連絡が来ました。\n"
         "8 32 次のステージに進む場合、敵が強くなる事が予想されます。"},
        // unlocked
        {1, 1, 2, 1, 2, "8 6 Congratulation !!\n8 18 ぜひ次のステージも挑戦してくださいね。"},
        // an older stage
        {1, 3, 9, 4, 3,
         "16 20 このエリアは既にクリアしています。\n"
         "8 14 再びステージに挑戦し、LVを上げましょう。"},
        {5, 5, 6, 0, 6,
         "8 8 ステージクリア おめでとうございます !!\n"
         "8 34 来たる時に備え、しっかり準備してから進みましょう。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lines);
        vt::reset();
        applyNewGameDefaults();
        player.highestStage = c.highestStage;
        player.level = c.level;
        player.stageClears[c.stage - 1] = c.clearsBefore;
        vt::run([&] { finishClearedStage(c.stage); });
        EXPECT_EQ(player.highestStage, c.highestAfter);
        EXPECT_EQ(player.stageClears[c.stage - 1], c.clearsBefore + 1);
        expectLines(c.lines);
        EXPECT_EQ(vt::textAt(8, 30, 8) == "ショップ", c.clearsBefore == 0);
        EXPECT_TEXT_AT(1, 39, std::string(79, '*'));
    }
}

TEST(Endings, GameOverPage) {
    vt::reset();
    gameOverScreen();
    flushOutput();
    EXPECT_TEXT_AT(24, 5, "Game  Over  ....");
    EXPECT_TEXT_AT(8, 24, "またの挑戦、まっておるぞ !!");
    EXPECT_TEXT_AT(1, 1, std::string(79, '*'));
    EXPECT_EQ(vt::cursorRow(), 24);
}

TEST(StartupHint, SmallWindowIsMentioned) {
    vt::Options options;
    options.rows = 24;
    vt::reset(options);
    vt::type("x");
    vt::run([] { showStartupHint(); });
    EXPECT_TEXT_AT(1, 3, "<< 画面の大きさが 80 x 24 です。80 x 41 以上にしてください >>");
}

}  // namespace
