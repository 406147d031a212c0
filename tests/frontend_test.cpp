// The title cycle, the menus, the stage rules and the endings, through the real main loop; and
// the README's pictures, which are pages the game draws.
#include "frontend/frontend.hpp"

#include <fstream>
#include <iterator>

#include "endings/endings.hpp"
#include "frontend/main_loop.hpp"
#include "support/play.hpp"
#include "tools/page_picture.hpp"

// Start-up hint, credits, title (7 refused, 1), main menu (4 refused without extra mode, 0),
// credits, title (0), closing page and status 0; two rounds of 6 s of credit pages.
TEST(TitleCycle, MainMenuAndBackThenQuitWithStatusZero) {
    vt::reset();
    typeKeys({"x", "7\r", "1\r", "4\r", "0\r", "0\r", "x"});
    EXPECT_EQ(vt::run([] { runGame(); }), 0);
    EXPECT_EQ(vt::nowMs() / 1000, 12);
    EXPECT_EQ(vt::snapshots().size(), 7u);
    // clang-format off
    expectPages({{0, "startup_hint"}, {1, "title"}, {2, "title"}, {3, "main_menu"},
                 {4, "main_menu"}, {5, "title"}, {6, "closing"}});
    // clang-format on
}

// In extra mode the main menu shows entry 4, which opens the free-play menu.
TEST(MainMenu, TheExtraModeEntry) {
    newGameAt();
    player.extraMode = 1;
    playWith({"4\r", "0\r"}, [] { return mainMenu(), 0; });
    expectPages({{0, "main_menu_extra"}, {1, "free_play_menu"}});
}

// A stage is open up to both the highest stage reached and the level; a refused entry is asked
// for again at once, an open one is played (its board comes from the map files), and 0 waits
// for one key before the main menu returns.
TEST(StageSelection, LockRuleAndList) {
    // Highest stage, level, entry, and whether a stage is played.
    const std::tuple<int, int, std::string, bool> cases[] = {
        {3, 2, "3", false}, {1, 5, "2", false}, {3, 2, "2", true},   {6, 9, "6", false},
        {6, 9, "5", true},  {1, 1, "1", true},  {2, 2, "-1", false}, {3, 2, "0", false},
    };
    const MapDirectory maps;
    for (const auto& [highestStage, level, entry, played] : cases) {
        newGameAt();
        player.highestStage = highestStage, player.level = level;
        // Only 0 returns; the rest end where the scripted keys run out.
        EXPECT_EQ(playWith({entry + "\r", "x"}, [] { return stageSelection(), 0; }),
                  entry == "0" ? 0 : -1);
        EXPECT_EQ(page(1).textAt(16, 12, 10) != " 1. stage ", played) << entry;
    }
    // Stage 2 open, 3 locked by the level.
    expectPages({{0, "stage_selection"}});
}

// The unlock rule, the clear counts and the stage-clear layouts; a first clear adds the shop
// lines. And the game-over page.
TEST(StageSelection, UnlockRuleClearCountsAndEndings) {
    // Stage, highest stage before and after, level, clears before, the page.
    const std::tuple<int, int, int, int, int, const char*> cases[] = {
        {1, 1, 1, 1, 0, "stage_clear_locked_first"},    // the level too low
        {1, 1, 2, 2, 1, "stage_clear_unlocked"},        // cleared before
        {1, 3, 3, 9, 4, "stage_clear_again"},           // an older stage
        {5, 5, 6, 6, 0, "stage_clear_unlocked_first"},  // the last stage
    };
    for (const auto& [stage, highest, highestAfter, level, clears, name] : cases) {
        newGameAt();
        player.highestStage = highest, player.level = level, player.stageClears[stage - 1] = clears;
        vt::run([&] { finishClearedStage(stage); });
        EXPECT_EQ(std::pair(player.highestStage, player.stageClears[stage - 1]),
                  std::pair(highestAfter, clears + 1));
        EXPECT_PAGE(vt::screen(), name);
    }
    vt::reset();
    vt::run(gameOverScreen);
    EXPECT_PAGE(vt::screen(), "game_over");
}

TEST(ReadmePictures, AreThePagesTheGameDrawsNow) {
    for (const ReadmePicture& picture : readmePictures()) {
        const std::string drawn = drawReadmePicture(picture);
        ASSERT_FALSE(drawn.empty()) << "the keys for " << picture.file << " miss its page";
        std::ifstream in(std::string(PERVARO_DOCS_DIR) + "/" + picture.file, std::ios::binary);
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(in), {}) == drawn)
            << "docs/" << picture.file
            << " is not the page the game draws now: cmake --build build --target pictures";
    }
}
