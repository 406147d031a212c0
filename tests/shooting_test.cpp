// The shooting gallery on the virtual terminal: hit, miss, the scope under the target and
// time over.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/virtual_platform.hpp"

namespace {

// Rules and instruction keys are answered at once; the timers start after the countdown.
constexpr int kStartMs = 3000;
constexpr int kMoveMs = 450;

struct Spot {
    int x, y;
    bool operator==(const Spot&) const = default;
};
constexpr Spot kCentre{15, 8};

// Where the target stands after each move on the virtual clock, where the 10 ms tick always
// comes before the move due at the same moment, so move k is seeded with 45 k.
std::vector<Spot> targetPath(int moves) {
    const auto step = [](int value, int centre) {
        if (value != centre) {
            return value + (value > centre ? -1 : 1) * (nextRandom() % 2);
        }
        return value + nextRandom() % 2 - 2;
    };
    std::vector<Spot> path{kCentre};
    for (int k = 1; k <= moves; ++k) {
        seedRandom(static_cast<std::uint32_t>(45 * k));
        const Spot last = path.back();
        const int x = step(last.x, 15);
        path.push_back({x, step(last.y, 8)});
    }
    return path;
}

std::string scopeCell(Spot s) {
    return s == kCentre ? "+" : s.x == 15 ? "|" : s.y == 8 ? "-" : " ";
}

void typeOpeningKeys() {
    vt::reset();
    vt::type("a");
    vt::type("b");
    vt::typeAt(kStartMs + 100, "x");  // not Space: dropped
}

TEST(Shooting, HitOnTheCentreMissOffItAndTheScopeRestored) {
    const std::vector<Spot> path = targetPath(44);
    // The first move from `from` on after which `wanted` holds.
    const auto firstMove = [&](int from, const std::function<bool(int k)>& wanted) {
        while (from < 44 && !wanted(from)) {
            ++from;
        }
        return from;
    };
    const auto centreFrom = [&](int from) {
        return firstMove(from, [&](int k) { return path[k] == kCentre; });
    };
    // A move that leaves a cell of this kind: the scope must come back there.
    const auto leaving = [&](const std::function<bool(Spot)>& kind) {
        return firstMove(1, [&](int k) { return path[k - 1] != path[k] && kind(path[k - 1]); });
    };
    const int moves[] = {
        1,
        centreFrom(1) - 1,
        centreFrom(1),
        centreFrom(30),
        leaving([](Spot s) { return s == kCentre; }),
        leaving([](Spot s) { return s.x == 15 && s.y != 8; }),
        leaving([](Spot s) { return s.x != 15 && s.y == 8; }),
        leaving([](Spot s) { return s.x != 15 && s.y != 8; }),
    };
    for (const int move : moves) {
        SCOPED_TRACE(move);
        ASSERT_LT(move, 44);
        typeOpeningKeys();
        // Space 200 ms after the move: the target has been drawn there several times.
        vt::typeAt(kStartMs + kMoveMs * move + 200, " ");
        vt::type("c");
        int result = -1;
        EXPECT_EQ(vt::run([&] { result = playShooting(); }), -1);
        EXPECT_EQ(vt::runningTimers(), 0);
        const bool hit = path[move] == kCentre;
        EXPECT_EQ(result, hit ? 1 : 0);
        EXPECT_TEXT_AT(30, 25, hit ? "大当たり！" : "残念！ハズレ!");
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
    int result = -1;
    EXPECT_EQ(vt::run([&] { result = playShooting(); }), -1);
    EXPECT_EQ(result, 0);
    EXPECT_TEXT_AT(30, 25, "Time Over ...");
    EXPECT_EQ(vt::runningTimers(), 0);

    // The page froze when the time was up: the clock stopped short of 20 seconds.
    const auto& pages = vt::snapshots();
    ASSERT_EQ(pages.size(), 5u);  // rules, instruction, frozen, frozen after "x", outcome
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 50, 10, "19.");
    for (int row = 10; row <= 21; ++row) {
        EXPECT_EQ(pages[2].rowText(row), pages[4].rowText(row)) << row;
    }
}

}  // namespace
