// The shooting gallery on the virtual terminal: hit, miss, the scope restored, time over.
#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "support/minigame_play.hpp"

namespace {

constexpr int kStartMs = 3000;  // rules and instruction keys at once, then the countdown

using Spot = std::pair<int, int>;  // x, y
constexpr Spot kCentre{15, 8};

// Where the target stands after each move on the virtual clock, where the 10 ms tick always
// comes before the move due at the same moment, so move k is seeded with 45 k.
std::vector<Spot> targetPath(int moves) {
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

std::string scopeCell(Spot s) {
    return s == kCentre ? "+" : s.first == 15 ? "|" : s.second == 8 ? "-" : " ";
}

void typeOpeningKeys() {
    vt::reset();
    vt::type("a");
    vt::type("b");
    vt::typeAt(kStartMs + 100, "x");  // not Space: dropped
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
    for (const int move : {firstOn("|"), firstOn("-"), hit}) {
        SCOPED_TRACE(move);
        typeOpeningKeys();
        // Space 200 ms after the move: the target has been drawn there several times.
        vt::typeAt(kStartMs + 450 * move + 200, " ");
        vt::type("c");
        EXPECT_EQ(gameResult(playShooting), move == hit ? 1 : 0);
        EXPECT_TEXT_AT(30, 25, move == hit ? "大当たり！" : "残念！ハズレ!");
        // The cells the target can reach show the scope, and the target where it stands.
        for (int y = 6; y <= 8; ++y) {
            for (int x = 13; x <= 15; ++x) {
                const Spot s{x, y};
                EXPECT_EQ(vt::textAt(x + 16, y + 10, 1), s == path[move] ? "*" : scopeCell(s))
                    << x << "," << y;
            }
        }
    }
}

TEST(Shooting, TimeOverAfterTwentySeconds) {
    typeOpeningKeys();
    vt::typeAt(kStartMs + 22000, "x");  // dropped: only Space ends the game
    vt::typeAt(kStartMs + 25000, " ");
    vt::type("c");
    EXPECT_EQ(gameResult(playShooting), 0);
    EXPECT_EQ(vt::snapshots().size(), 5u);  // rules, instruction, frozen, after "x", outcome
    EXPECT_TEXT_AT(30, 25, "Time Over ...");
    EXPECT_TEXT_AT(50, 10, "19.");  // the page froze when the time was up
    EXPECT_EQ(vt::runningTimers(), 0);
}

}  // namespace
