// The sprint on the virtual terminal: key rules, cheers, the 15-second line and time-up.
#include <algorithm>

#include "support/play.hpp"

constexpr int kRaceStartMs = 3000;  // the rules key at once, then three seconds of countdown

// Runs a sprint with the presses typed at `atMs` (or one at a time when asked, for -1) and
// three keys for the pages after the goal.
static int race(const std::string& presses, std::int64_t atMs) {
    newGameAt();
    vt::type(" ");
    Keys keys;
    for (const char key : presses) {
        keys.push_back(std::string(1, key));
    }
    if (atMs >= 0) {
        vt::typeAt(atMs, presses);
        keys.clear();
    }
    return playWith(keys + spaces(3), playSprint);
}

static int runnerColumn(const ScreenGrid& grid) {
    return static_cast<int>(grid.rowText(22).find('X')) + 1;
}

TEST(Sprint, KeyRules) {
    // One at a time once the time is up, or at once during the countdown; the keys run out.
    const std::tuple<std::string, int, int>
        cases[] = {{"2", -1, 10},       {"112", -1, 10},   {"122", -1, 10},
                   {"1x2q1", -1, 11},   {"121", 1500, 11}, {"121212121", 1500, 13},
                   {"121212", 4000, 12}};  // a burst mid-race: the runner leaves no copy behind
    for (const auto& [keys, atMs, column] : cases) {
        EXPECT_EQ(race(keys, atMs), -1) << keys;
        EXPECT_EQ(runnerColumn(page(-1)), column) << keys;
        EXPECT_EQ(std::ranges::count(page(-1).rowText(22), 'X'), 1) << keys;
    }
}

// Polling stops within one 40 ms pass of the sixty seconds and waits for keys since; every
// third key moves the runner on, and each pass prints the cheer of where it starts. The timer
// is stopped at the goal; the cursor, which would trail the runner, is hidden while it runs
// and shown at every key wait.
TEST(Sprint, TimeUpThenCheersAtTheirPositionsAndALateGoalLoses) {
    EXPECT_EQ(race(pressesToGoal(), -1), 0);
    ASSERT_EQ(vt::snapshots().size(), 1u + 147 + 3);
    expectPages(
        {{0, "sprint_rules"}, {1, "sprint_time_up"}, {-3, "sprint_goal"}, {-1, "sprint_lost"}});
    const std::tuple<int, int, std::string> cheers[] = {
        {1, 1, "スタート！         "},   {2, 11, std::string(19, ' ')},
        {12, 20, "まだまだっ！！     "}, {21, 34, "ガンバレ! ガンバレ!"},
        {35, 42, "もうちょっとだ！！ "}, {43, 49, "ラストスパート！！ "}};
    for (const auto& [first, last, cheer] : cheers) {
        for (const int position : {first, last}) {
            const ScreenGrid& grid = page(1 + 3 * (position - 1));
            EXPECT_EQ(runnerColumn(grid), position + 9) << position;
            EXPECT_AT(grid, 30, 11, cheer) << position;
        }
    }
    EXPECT_EQ(vt::runningTimers(), 0);
    EXPECT_GE(vt::writesWithCursorHidden(), 20);
    EXPECT_EQ(vt::keyWaitsWithCursorHidden(), 0);
}

// The 40 ms poll sees the last press a little late, so no lap ends on 15.00: goals at these
// moments give the nearest laps on either side of the line.
TEST(Sprint, FifteenSecondLine) {
    const std::tuple<int, const char*, int, const char*> cases[] = {
        {kRaceStartMs + 14950, "LAP : 14.97", 1, "クリア！"},
        {kRaceStartMs + 14990, "LAP : 15. 1", 0, "残念！"}};
    for (const auto& [atMs, lap, result, verdict] : cases) {
        EXPECT_EQ(race(pressesToGoal(), atMs), result);
        EXPECT_AT(vt::screen(), 30, 30, lap);
        EXPECT_AT(vt::screen(), 30, 35, verdict);
    }
}
