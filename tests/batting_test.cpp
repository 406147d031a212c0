// Batting on the virtual terminal: the hit window, the multipliers, random speeds and an early
// swing.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

// The rules key is answered at once and the speed entered at 100 ms; the pitch waits one second
// and then a random delay.
constexpr int kSpeedEnteredMs = 100;
constexpr std::int64_t kClock = 1'800'000'000;

struct Swing {
    int result;
    int pitchSpeed;
};

// Plays one game with `entry` typed as the speed (`entered` when it is one, else 0) and the swing
// `afterLaunchMs` after the launch, or, when `column` is given, 1 ms after the tick that brings
// the ball to that column.
Swing playBattingGame(std::int64_t clock, const std::string& entry, int entered, int column,
                      int afterLaunchMs = 0) {
    // What the game draws after seeding with the clock, which stands still throughout.
    seedRandom(static_cast<std::uint32_t>(clock));
    const int speed = entered >= 3 && entered <= 14 ? entered : nextRandom() % 11 + 3;
    const int launchMs = kSpeedEnteredMs + 1000 + nextRandom() % 1000 + 2500;
    vt::Options options;
    options.wallClockStart = clock;
    vt::reset(options);
    vt::type(" ");
    vt::typeAt(kSpeedEnteredMs, entry + "\r");
    vt::typeAt(launchMs + (column > 0 ? (column - 1) * speed + 1 : afterLaunchMs), "j");
    vt::type("k");
    int result = -1;
    EXPECT_EQ(vt::run([&] { result = playBatting(); }), -1);
    EXPECT_EQ(vt::runningTimers(), 0);
    return {result, speed};
}

TEST(Batting, HitWindowAndMultipliers) {
    struct Case {
        const char* entry;
        int column;
        int result;
        const char* outcome;
    };
    const Case cases[] = {{"3", 59, 0, "空振り！ x:59"},  {"3", 60, 13, "あたった！"},
                          {"3", 61, 13, "あたった！"},    {"3", 62, 13, "あたった！"},
                          {"3", 63, 0, "空振り！ x:63"},  {"14", 59, 0, "空振り！ x:59"},
                          {"14", 60, 2, "あたった！"},    {"14", 62, 2, "あたった！"},
                          {"14", 63, 0, "空振り！ x:63"}, {"8", 61, 8, "あたった！"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("speed ") + c.entry + " at x " + std::to_string(c.column));
        EXPECT_EQ(playBattingGame(kClock, c.entry, std::stoi(c.entry), c.column).result, c.result);
        EXPECT_TEXT_AT(30, 16, c.outcome);
        // The ball was drawn at every tick: two stars behind it, the cell before them erased.
        EXPECT_TEXT_AT(c.column - 3, 8, " **⑪");
        EXPECT_EQ(vt::cursorRow(), 39);
    }
    // The speeds offered, with their multipliers.
    EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[1], 1, 13, "            3.  368 km/h    :  x 13倍 ");
    EXPECT_SNAPSHOT_TEXT_AT(vt::snapshots()[1], 1, 24, "           14.   79 km/h    :  x  2倍 ");
}

TEST(Batting, OtherEntriesPickARandomSpeedUpToThirteen) {
    const char* const entries[] = {"0", "15", "-4", "abc", "0", "15"};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(entries[i]);
        const Swing swing = playBattingGame(kClock + i, entries[i], 0, 61);
        EXPECT_GE(swing.pitchSpeed, 3);
        EXPECT_LE(swing.pitchSpeed, 13);
        EXPECT_EQ(swing.result, 16 - swing.pitchSpeed);
        EXPECT_TEXT_AT(30, 16, "あたった！");
    }
}

TEST(Batting, EarlyAndLateSwingsMiss) {
    EXPECT_EQ(playBattingGame(kClock, "3", 3, 0, -1600).result, 0);  // before the launch
    EXPECT_TEXT_AT(30, 16, "空振り！ x:1");
    EXPECT_TEXT_AT(1, 8, "/");  // the launch signal, and no ball drawn over it
    EXPECT_EQ(playBattingGame(kClock, "5", 5, 0, 1001).result, 0);
    EXPECT_TEXT_AT(30, 16, "空振り！ x:201");
}

}  // namespace
