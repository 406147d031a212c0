// The sprint on the virtual terminal: key rules, cheers, the 15-second line and time-up.
#include <algorithm>
#include <tuple>

#include "support/minigame_play.hpp"

namespace {

constexpr int kRaceStartMs = 3000;  // the rules key at once, then three seconds of countdown
constexpr int kPressesToGoal = 147;

// Runs a sprint with the presses typed at `atMs` (or one at a time when asked, for -1) and
// three keys for the pages after the goal.
int race(const std::string& presses, std::int64_t atMs) {
    vt::reset();
    vt::type(" ");
    if (atMs >= 0) {
        vt::typeAt(atMs, presses);
    }
    for (const char key : atMs >= 0 ? std::string() : presses) {
        vt::type(std::string(1, key));
    }
    pressKeys(3);
    return gameResult(playSprint);
}

int runnerColumn(const ScreenGrid& page) {
    return static_cast<int>(page.rowText(22).find('X')) + 1;
}

TEST(Sprint, KeyRules) {
    // One at a time once the time is up, or at once during the countdown; the keys run out.
    const std::tuple<std::string, int, int>
        cases[] = {{"2", -1, 10},       {"112", -1, 10},   {"122", -1, 10},
                   {"1x2q1", -1, 11},   {"121", 1500, 11}, {"121212121", 1500, 13},
                   {"121212", 4000, 12}};  // a burst mid-race: the runner leaves no copy behind
    for (const auto& [keys, atMs, column] : cases) {
        SCOPED_TRACE(keys);
        EXPECT_EQ(race(keys, atMs), -1);
        EXPECT_EQ(runnerColumn(vt::snapshots().back()), column);
        EXPECT_EQ(std::ranges::count(vt::snapshots().back().rowText(22), 'X'), 1);
    }
}

TEST(Sprint, TimeUpThenCheersAtTheirPositionsAndALateGoalLoses) {
    EXPECT_EQ(race(alternatingPresses(kPressesToGoal), -1), 0);
    const auto& pages = vt::snapshots();
    ASSERT_EQ(pages.size(), 1u + kPressesToGoal + 3);
    // Polling stopped within one 40 ms pass of the sixty seconds, and waited for keys since.
    EXPECT_SNAPSHOT_TEXT_AT(pages[1], 58, 24, "59.97Time UP!!");
    // Every third key moves the runner on; each pass prints the cheer of where it starts.
    const std::tuple<int, int, std::string> cheers[] = {
        {1, 1, "スタート！         "},   {2, 11, std::string(19, ' ')},
        {12, 20, "まだまだっ！！     "}, {21, 34, "ガンバレ! ガンバレ!"},
        {35, 42, "もうちょっとだ！！ "}, {43, 49, "ラストスパート！！ "}};
    for (const auto& [first, last, cheer] : cheers) {
        for (const int position : {first, last}) {
            const ScreenGrid& page = pages[1 + 3 * (position - 1)];
            EXPECT_EQ(runnerColumn(page), position + 9) << position;
            EXPECT_SNAPSHOT_TEXT_AT(page, 30, 11, cheer) << position;
        }
    }
    EXPECT_SNAPSHOT_TEXT_AT(pages[1 + kPressesToGoal], 30, 11, "GOAL ！！          ");
    EXPECT_TEXT_AT(30, 35, "残念！");
    EXPECT_EQ(vt::runningTimers(), 0);
}

// The 40 ms poll sees the last press a little late, so no lap ends on 15.00: goals at these
// moments give the nearest laps on either side of the line.
TEST(Sprint, FifteenSecondLine) {
    const std::tuple<int, const char*, int, const char*> cases[] = {
        {kRaceStartMs + 14950, "LAP : 14.97", 1, "クリア！"},
        {kRaceStartMs + 14990, "LAP : 15. 1", 0, "残念！"}};
    for (const auto& [atMs, lap, result, verdict] : cases) {
        SCOPED_TRACE(lap);
        EXPECT_EQ(race(alternatingPresses(kPressesToGoal), atMs), result);
        EXPECT_TEXT_AT(30, 30, lap);
        EXPECT_TEXT_AT(30, 35, verdict);
    }
}

}  // namespace
