// The shooting gallery on the virtual terminal: hit, miss, the scope restored, time over.
#include <algorithm>
#include <set>

#include "support/play.hpp"

constexpr int kStartMs = 3000;  // rules and instruction keys at once, then the countdown

using Spot = std::pair<int, int>;  // x, y
constexpr Spot kCentre{15, 8};

// Where the target stands after each move on the virtual clock, where the 10 ms tick always
// comes before the move due at the same moment, so move k is seeded with 45 k.
static std::vector<Spot> targetPath(int moves) {
    const auto step = [](int value, int centre) {
        const int r = nextRandom() % 2;
        return value == centre ? value + r - 2 : value + (value > centre ? -r : r);
    };
    std::vector<Spot> path{kCentre};
    for (int k = 1; k <= moves; ++k) {
        seedRandom(static_cast<std::uint32_t>(45 * k));
        const int x = step(path.back().first, 15);
        path.push_back({x, step(path.back().second, 8)});
    }
    return path;
}

static std::string scopeCell(Spot s) {
    return s == kCentre ? "+" : s.first == 15 ? "|" : s.second == 8 ? "-" : " ";
}

// Plays with Space at `spaceMs` and a key that is not Space before it (dropped); a key after.
static int shoot(int spaceMs, int otherMs) {
    newGameAt();
    typeKeys({"a", "b"});  // the rules and the instruction
    vt::typeAt(otherMs, "x");
    vt::typeAt(spaceMs, " ");
    return playWith({"c"}, playShooting);
}

TEST(Shooting, HitOnTheCentreMissOffItAndTheScopeRestored) {
    const std::vector<Spot> path = targetPath(44);
    // Misses on the centre's column and on its row, and a return to the centre late in the game,
    // once the target has left a cell of every kind (where the scope must come back).
    std::set<std::string> kindsLeft;
    int hit = 1;
    for (; hit < 44 && (hit < 30 || kindsLeft.size() < 4 || path[hit] != kCentre); ++hit) {
        if (path[hit] != path[hit - 1]) {
            kindsLeft.insert(scopeCell(path[hit - 1]));
        }
    }
    const auto firstOn = [&](const char* kind) {
        const auto on = [&](Spot s) { return scopeCell(s) == kind; };
        return static_cast<int>(std::find_if(path.begin() + 1, path.end(), on) - path.begin());
    };
    ASSERT_LT(hit, 44);
    // Space 200 ms after the move: the target has been drawn there several times.
    for (const auto& [move, name] : {std::pair{firstOn("|"), "shooting_missed_on_the_column"},
                                     {firstOn("-"), "shooting_missed_on_the_row"},
                                     {hit, "shooting_hit"}}) {
        EXPECT_EQ(shoot(kStartMs + 450 * move + 200, kStartMs + 100), move == hit ? 1 : 0);
        EXPECT_PAGE(vt::screen(), name);
    }
}

// After twenty seconds the page freezes; only Space ends the game, as time over. The cursor,
// which would trail the target, is hidden while it moves and shown at every key wait.
TEST(Shooting, TimeOverAfterTwentySeconds) {
    EXPECT_EQ(shoot(kStartMs + 25000, kStartMs + 22000), 0);
    // clang-format off
    expectPages({{0, "shooting_rules"}, {1, "shooting_instruction"}, {2, "shooting_frozen"},
                 {3, "shooting_frozen"}, {4, "shooting_time_over"}});
    // clang-format on
    EXPECT_EQ(vt::snapshots().size(), 5u);
    EXPECT_EQ(vt::runningTimers(), 0);
    EXPECT_GE(vt::writesWithCursorHidden(), 20);
    EXPECT_EQ(vt::keyWaitsWithCursorHidden(), 0);
}
