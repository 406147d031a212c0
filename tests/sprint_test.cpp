// The sprint on the virtual terminal: key rules, cheers, the 15-second line and time-up.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

// The rules key is answered at once; the start signal follows three seconds of countdown.
constexpr int kRaceStartMs = 3000;
constexpr int kPressesToGoal = 147;

std::string alternating(int presses) {
    std::string keys;
    for (int i = 0; i < presses; ++i) {
        keys += i % 2 == 0 ? '1' : '2';
    }
    return keys;
}

// Column of the runner on a page.
int runnerColumn(const ScreenGrid& page) {
    return static_cast<int>(page.rowText(22).find('X')) + 1;
}

TEST(Sprint, KeyRules) {
    struct Case {
        const char* name;
        std::string countdownKeys;      // typed during the countdown
        std::vector<std::string> keys;  // typed one at a time once the time is up
        int runnerColumn;
    };
    const Case cases[] = {
        {"2 first moves nothing", "", {"2"}, 10},
        {"1 2 1 moves one column", "", {"1", "2", "1"}, 11},
        {"a repeated digit is ignored", "", {"1", "1", "2"}, 10},
        {"1 1 2 1 is three presses", "", {"1", "1", "2", "1"}, 11},
        {"other keys are ignored", "", {"1", "x", "2", "\x1b[A", "1"}, 11},
        {"two steps", "", {"1", "2", "1", "2", "1", "2"}, 12},
        {"keys typed during the countdown count", "121", {}, 11},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vt::reset();
        vt::type(" ");
        if (!c.countdownKeys.empty()) {
            vt::typeAt(1500, c.countdownKeys);
        }
        for (const std::string& key : c.keys) {
            vt::type(key);
        }
        EXPECT_EQ(vt::run([] { playSprint(); }), 1);  // ends when the keys run out
        EXPECT_EQ(runnerColumn(vt::snapshots().back()), c.runnerColumn);
        EXPECT_EQ(vt::runningTimers(), 0);
    }
}

TEST(Sprint, TimeUpAfterSixtySecondsThenEveryPassWaitsForAKey) {
    vt::reset();
    vt::type(" ");
    EXPECT_EQ(vt::run([] { playSprint(); }), 1);
    ASSERT_EQ(vt::snapshots().size(), 2u);
    // The first blocking read comes within one 40 ms pass of tick 6001.
    EXPECT_GE(vt::nowMs(), kRaceStartMs + 60010);
    EXPECT_LE(vt::nowMs(), kRaceStartMs + 60060);
    const std::string clockRow = vt::snapshots()[1].rowText(24).substr(57);
    int seconds = 0;
    int hundredths = 0;
    char rest[16] = {};
    ASSERT_EQ(std::sscanf(clockRow.c_str(), "%d.%2d%15[^ ]", &seconds, &hundredths, rest), 3)
        << clockRow;
    EXPECT_GE(seconds * 100 + hundredths, 5990);
    EXPECT_STREQ(rest, "Time");
    EXPECT_NE(clockRow.find("Time UP!!"), std::string::npos);
}

TEST(Sprint, CheersAtTheirPositionsAndALateGoalLoses) {
    vt::reset();
    vt::type(" ");
    for (const char key : alternating(kPressesToGoal)) {
        vt::type(std::string(1, key));
    }
    vt::type("a");
    vt::type("b");
    vt::type("c");
    int result = -1;
    EXPECT_EQ(vt::run([&] { result = playSprint(); }), -1);
    EXPECT_EQ(result, 0);

    // Snapshot 1 is the first wait after time-up, with the runner at 1; every third key
    // moves it on, and each pass prints the cheer of the position it starts at.
    const auto& pages = vt::snapshots();
    ASSERT_EQ(pages.size(), 1u + kPressesToGoal + 3);
    const auto pageAt = [&](int position) -> const ScreenGrid& {
        return pages[1 + 3 * (position - 1)];
    };
    const std::string blank(19, ' ');
    struct Expect {
        int position;
        std::string cheer;
    };
    const Expect expects[] = {
        {1, "スタート！         "},
        {2, blank},
        {11, blank},
        {12, "まだまだっ！！     "},
        {20, "まだまだっ！！     "},
        {21, "ガンバレ! ガンバレ!"},
        {34, "ガンバレ! ガンバレ!"},
        {35, "もうちょっとだ！！ "},
        {42, "もうちょっとだ！！ "},
        {43, "ラストスパート！！ "},
        {49, "ラストスパート！！ "},
    };
    for (const Expect& e : expects) {
        EXPECT_EQ(runnerColumn(pageAt(e.position)), e.position + 9) << e.position;
        EXPECT_SNAPSHOT_TEXT_AT(pageAt(e.position), 30, 11, e.cheer) << e.position;
    }

    const ScreenGrid& goal = pages[1 + kPressesToGoal];
    EXPECT_SNAPSHOT_TEXT_AT(goal, 30, 11, "GOAL ！！          ");
    EXPECT_SNAPSHOT_TEXT_AT(goal, 8, 30, "テンキーの１と２を交互に連打してください");
    const ScreenGrid& lap = pages[2 + kPressesToGoal];
    EXPECT_EQ(lap.rowText(31).find("テンキー"), std::string::npos);
    EXPECT_SNAPSHOT_TEXT_AT(lap, 30, 30, "LAP : 6");
    EXPECT_SNAPSHOT_TEXT_AT(pages.back(), 30, 35, "残念！");
    EXPECT_EQ(vt::runningTimers(), 0);
}

// The 40 ms poll decides when the last press is seen, so a goal cannot be placed on an exact
// tick; the goal is swept across the 15-second line instead (laps of 14.97 and 15.01 are the
// nearest), and every lap shown must agree with the result.
TEST(Sprint, FifteenSecondLine) {
    bool sawWin = false;
    bool sawLoss = false;
    for (int atMs = kRaceStartMs + 14900; atMs <= kRaceStartMs + 15100; atMs += 10) {
        SCOPED_TRACE(atMs);
        vt::reset();
        vt::type(" ");
        vt::typeAt(atMs, alternating(kPressesToGoal));
        vt::type("a");
        vt::type("b");
        vt::type("c");
        int result = -1;
        EXPECT_EQ(vt::run([&] { result = playSprint(); }), -1);
        const std::string lapText = vt::textAt(30, 30, 12);
        int seconds = 0;
        int hundredths = 0;
        ASSERT_EQ(std::sscanf(lapText.c_str(), "LAP : %d.%d", &seconds, &hundredths), 2);
        const int ticks = seconds * 100 + hundredths;
        char expected[16];
        std::snprintf(expected, sizeof expected, "LAP : %d.%2d", seconds, hundredths);
        EXPECT_EQ(lapText.substr(0, std::string(expected).size()), expected);
        EXPECT_GE(ticks * 10, atMs - kRaceStartMs - 10);
        EXPECT_LE(ticks * 10, atMs - kRaceStartMs + 50);
        if (ticks < 1500) {
            sawWin = true;
            EXPECT_EQ(result, 1);
            EXPECT_TEXT_AT(30, 35, "クリア！");
        } else {
            sawLoss = true;
            EXPECT_EQ(result, 0);
            EXPECT_TEXT_AT(30, 35, "残念！");
        }
        EXPECT_EQ(vt::runningTimers(), 0);
    }
    EXPECT_TRUE(sawWin);
    EXPECT_TRUE(sawLoss);
}

}  // namespace
