// The sprint on the virtual terminal: key rules, cheers, the 15-second line and time-up.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

// The rules key is answered at once; the start signal follows three seconds of countdown.
constexpr int kRaceStartMs = 3000;
constexpr int kPressesToGoal = 147;

// Runs a sprint with the presses typed at `atMs` (or one at a time when asked, for -1) and
// three keys for the pages after the goal; returns the exit status.
int race(const std::string& presses, std::int64_t atMs, int& result) {
    vt::reset();
    vt::type(" ");
    if (atMs >= 0) {
        vt::typeAt(atMs, presses);
    } else {
        for (const char key : presses) {
            vt::type(std::string(1, key));
        }
    }
    for (const char* key : {"a", "b", "c"}) {
        vt::type(key);
    }
    return vt::run([&] { result = playSprint(); });
}

std::string alternating(int presses) {
    std::string keys;
    for (int i = 0; i < presses; ++i) {
        keys += i % 2 == 0 ? '1' : '2';
    }
    return keys;
}

int runnerColumn(const ScreenGrid& page) {
    return static_cast<int>(page.rowText(22).find('X')) + 1;
}

TEST(Sprint, KeyRules) {
    struct Case {
        std::string keys;  // one at a time once the time is up, or at once during the countdown
        int atMs;
        int runnerColumn;
    };
    const Case cases[] = {{"2", -1, 10},     {"121", -1, 11},    {"112", -1, 10},  {"1121", -1, 11},
                          {"1x2q1", -1, 11}, {"121212", -1, 12}, {"121", 1500, 11}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        int result = -1;
        EXPECT_EQ(race(c.keys, c.atMs, result), 1);  // ends when the keys run out
        EXPECT_EQ(runnerColumn(vt::snapshots().back()), c.runnerColumn);
        EXPECT_EQ(vt::runningTimers(), 0);
    }
}

TEST(Sprint, TimeUpAfterSixtySeconds) {
    vt::reset();
    vt::type(" ");
    EXPECT_EQ(vt::run([] { playSprint(); }), 1);
    ASSERT_EQ(vt::snapshots().size(), 2u);
    // The first blocking read comes within one 40 ms pass of tick 6001.
    EXPECT_GE(vt::nowMs(), kRaceStartMs + 60010);
    EXPECT_LE(vt::nowMs(), kRaceStartMs + 60060);
    int seconds = 0, hundredths = 0;
    const std::string clock = vt::snapshots()[1].rowText(24).substr(57);
    ASSERT_EQ(std::sscanf(clock.c_str(), "%d.%2d", &seconds, &hundredths), 2) << clock;
    EXPECT_GE(seconds * 100 + hundredths, 5990);
    EXPECT_NE(clock.find("Time UP!!"), std::string::npos);
}

TEST(Sprint, CheersAtTheirPositionsAndALateGoalLoses) {
    int result = -1;
    EXPECT_EQ(race(alternating(kPressesToGoal), -1, result), -1);
    EXPECT_EQ(result, 0);

    // Snapshot 1 is the first wait after time-up, with the runner at 1; every third key
    // moves it on, and each pass prints the cheer of the position it starts at.
    const auto& pages = vt::snapshots();
    ASSERT_EQ(pages.size(), 1u + kPressesToGoal + 3);
    // Each cheer from its first position to its last.
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

// The 40 ms poll decides when the last press is seen, so a goal cannot be placed on an exact
// tick; the goal is swept across the 15-second line instead (laps of 14.97 and 15.01 are the
// nearest), and every lap shown must agree with the result.
TEST(Sprint, FifteenSecondLine) {
    bool sawWin = false, sawLoss = false;
    for (int atMs = kRaceStartMs + 14900; atMs <= kRaceStartMs + 15100; atMs += 10) {
        SCOPED_TRACE(atMs);
        int result = -1;
        EXPECT_EQ(race(alternating(kPressesToGoal), atMs, result), -1);
        const std::string lapText = vt::textAt(30, 30, 12);
        int seconds = 0, hundredths = 0;
        ASSERT_EQ(std::sscanf(lapText.c_str(), "LAP : %d.%d", &seconds, &hundredths), 2);
        const int ticks = seconds * 100 + hundredths;
        char expected[16];
        std::snprintf(expected, sizeof expected, "LAP : %d.%2d", seconds, hundredths);
        EXPECT_EQ(lapText.substr(0, std::string(expected).size()), expected);
        EXPECT_GE(ticks * 10, atMs - kRaceStartMs - 10);
        EXPECT_LE(ticks * 10, atMs - kRaceStartMs + 50);
        (ticks < 1500 ? sawWin : sawLoss) = true;
        EXPECT_EQ(result, ticks < 1500 ? 1 : 0);
        EXPECT_TEXT_AT(30, 35, ticks < 1500 ? "クリア！" : "残念！");
        EXPECT_EQ(vt::runningTimers(), 0);
    }
    EXPECT_TRUE(sawWin);
    EXPECT_TRUE(sawLoss);
}

}  // namespace
