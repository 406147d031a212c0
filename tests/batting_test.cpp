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

// The rules key is answered at once and the speed entered at 100 ms; the pitch waits one second and
// then a random delay.
constexpr int kSpeedEnteredMs = 100;

struct Pitch {
    int speed;
    int launchMs;
};

// What the game draws after seeding with the clock, which stands at `clock` throughout.
Pitch expectedPitch(std::int64_t clock, int entered) {
    seedRandom(static_cast<std::uint32_t>(clock));
    Pitch pitch{entered, 0};
    if (entered < 3 || entered > 14) {
        pitch.speed = nextRandom() % 11 + 3;
    }
    pitch.launchMs = kSpeedEnteredMs + 1000 + nextRandom() % 1000 + 2500;
    return pitch;
}

struct Swing {
    int result;
    int pitchSpeed;
};

// Plays one game: `entry` typed as the speed, the swing at `swingMs` (or, when `column` is
// given, 1 ms after the tick that brings the ball to that column).
Swing playBattingGame(std::int64_t clock, const std::string& entry, int entered, int column,
                      int swingMs = -1) {
    vt::Options options;
    options.wallClockStart = clock;
    vt::reset(options);
    const Pitch pitch = expectedPitch(clock, entered);
    if (column > 0) {
        swingMs = pitch.launchMs + (column - 1) * pitch.speed + 1;
    }
    vt::type(" ");
    vt::typeAt(kSpeedEnteredMs, entry + "\r");
    vt::typeAt(swingMs, "j");
    vt::type("k");
    int result = -1;
    EXPECT_EQ(vt::run([&] { result = playBatting(); }), -1);
    EXPECT_EQ(vt::runningTimers(), 0);
    return {result, pitch.speed};
}

TEST(Batting, HitWindowAndMultipliers) {
    struct Case {
        const char* entry;
        int column;
        int result;
        const char* outcome;
    };
    const Case cases[] = {
        {"3", 59, 0, "空振り！ x:59"},  {"3", 60, 13, "あたった！"},
        {"3", 61, 13, "あたった！"},    {"3", 62, 13, "あたった！"},
        {"3", 63, 0, "空振り！ x:63"},  {"14", 59, 0, "空振り！ x:59"},
        {"14", 60, 2, "あたった！"},    {"14", 62, 2, "あたった！"},
        {"14", 63, 0, "空振り！ x:63"}, {"8", 61, 8, "あたった！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("speed ") + c.entry + " at x " + std::to_string(c.column));
        EXPECT_EQ(playBattingGame(1'800'000'000, c.entry, std::stoi(c.entry), c.column).result,
                  c.result);
        EXPECT_TEXT_AT(30, 16, c.outcome);
        // The ball was drawn at every tick: two stars behind it, the cell before them erased.
        EXPECT_TEXT_AT(c.column - 3, 8, " **⑪");
        EXPECT_TEXT_AT(60, 10, "| |");
        EXPECT_EQ(vt::cursorColumn(), 1);
        EXPECT_EQ(vt::cursorRow(), 39);
    }
}

TEST(Batting, OtherEntriesPickARandomSpeedUpToThirteen) {
    struct Case {
        std::int64_t clock;
        const char* entry;
    };
    const Case cases[] = {
        {1'800'000'000, "0"},   {1'800'000'001, "15"}, {1'800'000'002, "-4"},
        {1'800'000'003, "abc"}, {1'800'000'004, "0"},  {1'800'000'005, "15"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        const Swing swing = playBattingGame(c.clock, c.entry, 0, 61);
        EXPECT_GE(swing.pitchSpeed, 3);
        EXPECT_LE(swing.pitchSpeed, 13);
        EXPECT_EQ(swing.result, 16 - swing.pitchSpeed);
        EXPECT_TEXT_AT(30, 16, "あたった！");
    }
}

TEST(Batting, KeyBeforeTheLaunchIsAMiss) {
    EXPECT_EQ(playBattingGame(1'800'000'000, "3", 3, 0, 2000).result, 0);
    EXPECT_TEXT_AT(30, 16, "空振り！ x:1");
    EXPECT_TEXT_AT(1, 8, "/");  // the launch signal, and no ball drawn over it
}

TEST(Batting, LateSwingShowsWhereTheBallIs) {
    const Pitch pitch = expectedPitch(1'800'000'000, 5);
    EXPECT_EQ(playBattingGame(1'800'000'000, "5", 5, 0, pitch.launchMs + 1001).result, 0);
    EXPECT_TEXT_AT(30, 16, "空振り！ x:201");
}

TEST(Batting, Pages) {
    playBattingGame(1'800'000'000, "3", 3, 61);
    const auto& pages = vt::snapshots();
    ASSERT_GE(pages.size(), 2u);
    EXPECT_SNAPSHOT_TEXT_AT(pages[0], 8, 26, "  わからないので、集中力が試されます。");
    const ScreenGrid& speeds = pages[1];
    EXPECT_SNAPSHOT_TEXT_AT(speeds, 1, 10,
                            "        挑戦するスピードに対応する数値を入力してください");
    EXPECT_SNAPSHOT_TEXT_AT(speeds, 1, 13, "            3.  368 km/h    :  x 13倍 ");
    EXPECT_SNAPSHOT_TEXT_AT(speeds, 1, 24, "           14.   79 km/h    :  x  2倍 ");
    EXPECT_SNAPSHOT_TEXT_AT(speeds, 1, 27, "         ----------------------");
    EXPECT_TEXT_AT(8, 4, "  --- バッティング ゲーム ---");
    EXPECT_TEXT_AT(60, 12, "バッティングゾーン");
}

}  // namespace
