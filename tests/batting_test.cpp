// Batting on the virtual terminal: the hit window, the multipliers, random speeds, bad timing.
#include "support/play.hpp"

// Plays a game with the speed entry (typed at 100 ms), swinging at `swingMs`. At the first clock
// the launch signal comes at 4499 ms: the speed entry, one second, a random 2.5 to 3.5 s.
static int bat(const std::string& entry, int swingMs, std::int64_t clock = 1'800'000'000) {
    newGameAt(clock);
    vt::type(" ");
    vt::typeAt(100, entry + "\r");
    vt::typeAt(swingMs, "j");
    const int result = playWith({"k"}, playBatting);
    EXPECT_EQ(vt::runningTimers(), 0);
    return result;
}

// Columns 60 to 62 are hits; the ball advances a column a tick of `speed` ms and is drawn at
// every tick, two stars behind it and the cell before them erased; the cursor is hidden while
// it flies.
TEST(Batting, HitWindowAndMultipliers) {
    const std::tuple<int, int, int, const char*> cases[] = {
        {3, 59, 0, "空振り！ x:59"},  {3, 60, 13, "あたった！"}, {3, 62, 13, "あたった！"},
        {3, 63, 0, "空振り！ x:63"},  {14, 60, 2, "あたった！"}, {14, 62, 2, "あたった！"},
        {14, 63, 0, "空振り！ x:63"}, {8, 61, 8, "あたった！"}};
    for (const auto& [speed, column, result, outcome] : cases) {
        // Swinging 1 ms after the tick that brings the ball to the column.
        EXPECT_EQ(bat(std::to_string(speed), 4499 + (column - 1) * speed + 1), result) << column;
        EXPECT_AT(vt::screen(), 30, 16, outcome);
        EXPECT_AT(vt::screen(), column - 3, 8, " **⑪");
        EXPECT_EQ(std::tuple(vt::cursorRow(), vt::keyWaitsWithCursorHidden()), std::tuple(39, 0));
        EXPECT_GE(vt::writesWithCursorHidden(), 20);
    }
    expectPages({{0, "batting_rules"}, {1, "batting_speeds"}, {2, "batting_hit"}});
}

// Other entries pick a random speed, never the slowest: at these clocks 3, 7, 12 and 5, with
// the launch at 3793, 3645, 4497 and 4580 ms; a hit at column 61 pays 16 minus the speed. A
// swing before the launch or after the ball has passed misses.
TEST(Batting, RandomSpeedsAndBadTiming) {
    const std::tuple<const char*, int, int> cases[] = {
        {"0", 3793, 3}, {"15", 3645, 7}, {"-4", 4497, 12}, {"abc", 4580, 5}};
    for (int i = 0; i < 4; ++i) {
        const auto& [entry, launch, speed] = cases[i];
        EXPECT_EQ(bat(entry, launch + 60 * speed + 1, 1'800'000'000 + i), 16 - speed) << entry;
    }
    EXPECT_EQ(bat("3", 4499 - 1600), 0);
    EXPECT_AT(vt::screen(), 30, 16, "空振り！ x:1");
    EXPECT_AT(vt::screen(), 1, 8, "/");  // the launch signal, and no ball drawn over it
    EXPECT_EQ(bat("5", 4499 + 1001), 0);
    EXPECT_AT(vt::screen(), 30, 16, "空振り！ x:201");
}
