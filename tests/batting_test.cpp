// Batting on the virtual terminal: the hit window, the multipliers, random speeds, bad timing.
#include "support/play.hpp"

constexpr std::int64_t kClock = 1'800'000'000;

// Plays one game with `entry` typed as the speed, swinging 1 ms after the tick that brings the
// ball to `column`, or `afterLaunchMs` after the launch. Returns the result and the speed.
static std::pair<int, int> playBattingGame(std::int64_t clock, const std::string& entry, int column,
                                           int afterLaunchMs = 0) {
    // The clock stands still, so the game draws this after seeding: a speed for an entry out of
    // 3 to 14, then the launch's delay after the first second.
    seedRandom(static_cast<std::uint32_t>(clock));
    const int entered = std::atoi(entry.c_str());
    const int speed = entered >= 3 && entered <= 14 ? entered : nextRandom() % 11 + 3;
    const int launchMs = 100 + 1000 + nextRandom() % 1000 + 2500;
    newGameAt(clock);
    vt::type(" ");
    vt::typeAt(100, entry + "\r");
    vt::typeAt(launchMs + (column > 0 ? (column - 1) * speed + 1 : afterLaunchMs), "j");
    const int result = playWith({"k"}, playBatting);
    EXPECT_EQ(vt::runningTimers(), 0);
    return {result, speed};
}

// Columns 60 to 62 are hits; the ball is drawn at every tick, two stars behind it and the cell
// before them erased; the cursor is hidden while it flies.
TEST(Batting, HitWindowAndMultipliers) {
    const std::tuple<const char*, int, int, const char*> cases[] = {
        {"3", 59, 0, "空振り！ x:59"},  {"3", 60, 13, "あたった！"}, {"3", 62, 13, "あたった！"},
        {"3", 63, 0, "空振り！ x:63"},  {"14", 60, 2, "あたった！"}, {"14", 62, 2, "あたった！"},
        {"14", 63, 0, "空振り！ x:63"}, {"8", 61, 8, "あたった！"}};
    for (const auto& [entry, column, result, outcome] : cases) {
        SCOPED_TRACE(std::string("speed ") + entry + " at x " + std::to_string(column));
        EXPECT_EQ(playBattingGame(kClock, entry, column).first, result);
        EXPECT_AT(vt::screen(), 30, 16, outcome);
        EXPECT_AT(vt::screen(), column - 3, 8, " **⑪");
        EXPECT_EQ(vt::cursorRow(), 39);
        EXPECT_GE(vt::writesWithCursorHidden(), 20);
        EXPECT_EQ(vt::keyWaitsWithCursorHidden(), 0);
    }
    expectPages({{0, "batting_rules"}, {1, "batting_speeds"}, {2, "batting_hit"}});
}

// Other entries pick a random speed, never the slowest; a swing before the launch or after the
// ball has passed misses.
TEST(Batting, RandomSpeedsAndBadTiming) {
    const char* const entries[] = {"0", "15", "-4", "abc"};
    for (int i = 0; i < 4; ++i) {
        const auto [result, speed] = playBattingGame(kClock + i, entries[i], 61);
        EXPECT_EQ(result, 16 - speed) << entries[i];
    }
    EXPECT_EQ(playBattingGame(kClock, "3", 0, -1600).first, 0);
    EXPECT_AT(vt::screen(), 30, 16, "空振り！ x:1");
    EXPECT_AT(vt::screen(), 1, 8, "/");  // the launch signal, and no ball drawn over it
    EXPECT_EQ(playBattingGame(kClock, "5", 0, 1001).first, 0);
    EXPECT_AT(vt::screen(), 30, 16, "空振り！ x:201");
}
