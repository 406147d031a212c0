// The shooting gallery on the virtual terminal: hit, miss, the scope restored, time over.
#include "support/play.hpp"

constexpr int kStartMs = 3000;  // rules and instruction keys at once, then the countdown

// Plays with Space at `spaceMs` and a key that is not Space before it (dropped); a key after.
static int shoot(int spaceMs, int otherMs) {
    newGameAt();
    typeKeys({"a", "b"});  // the rules and the instruction
    vt::typeAt(otherMs, "x");
    vt::typeAt(spaceMs, " ");
    return playWith({"c"}, playShooting);
}

// The target moves every 450 ms, from the centre (15, 8) a step of one or two, elsewhere back
// towards it by 0 or 1, seeded with the 10 ms ticks: on the virtual clock, move k is seeded with
// 45 k. Its path then goes (14, 6), (14, 7), (14, 8), (15, 7), ... and comes back to the centre
// at move 37, when it has left cells of every kind, where the scope must be restored. Space 200
// ms after a move finds the target there: on the centre's row or column a miss, on the centre
// a hit.
TEST(Shooting, HitOnTheCentreMissOffItAndTheScopeRestored) {
    for (const auto& [move, name] : {std::pair{3, "shooting_missed_on_the_row"},
                                     {4, "shooting_missed_on_the_column"},
                                     {37, "shooting_hit"}}) {
        EXPECT_EQ(shoot(kStartMs + 450 * move + 200, kStartMs + 100), move == 37 ? 1 : 0);
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
    EXPECT_EQ(
        std::tuple(vt::snapshots().size(), vt::runningTimers(), vt::keyWaitsWithCursorHidden()),
        std::tuple(5u, 0, 0));
    EXPECT_GE(vt::writesWithCursorHidden(), 20);
}
