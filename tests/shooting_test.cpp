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
    int x;
    int y;
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
        Spot next = path.back();
        next.x = step(next.x, 15);
        next.y = step(next.y, 8);
        path.push_back(next);
    }
    return path;
}

// The first move after which the target stands where `wanted` says (and not before `from`).
int firstMove(const std::vector<Spot>& path, int from, const std::function<bool(int k)>& wanted) {
    for (int k = from; k < static_cast<int>(path.size()); ++k) {
        if (wanted(k)) {
            return k;
        }
    }
    ADD_FAILURE() << "no such move";
    return from;
}

std::string scopeCell(Spot s) {
    return s == kCentre ? "+" : s.x == 15 ? "|" : s.y == 8 ? "-" : " ";
}

// The cells the target can reach show the scope, and the target at `target` only.
void expectScopeWithTarget(Spot target) {
    for (int y = 6; y <= 8; ++y) {
        for (int x = 13; x <= 15; ++x) {
            const Spot s{x, y};
            EXPECT_EQ(vt::textAt(x + 16, y + 10, 1), s == target ? "*" : scopeCell(s))
                << x << "," << y;
        }
    }
}

int playWithSpaceAt(int atMs) {
    vt::reset();
    vt::type("a");
    vt::type("b");
    vt::typeAt(kStartMs + 100, "x");  // not Space: dropped
    vt::typeAt(atMs, " ");
    vt::type("c");
    int result = -1;
    EXPECT_EQ(vt::run([&] { result = playShooting(); }), -1);
    EXPECT_EQ(vt::runningTimers(), 0);
    return result;
}

TEST(Shooting, HitOnTheCentreMissOffIt) {
    const std::vector<Spot> path = targetPath(44);
    const int firstCentre = firstMove(path, 1, [&](int k) { return path[k] == kCentre; });
    const int lateCentre = firstMove(path, 30, [&](int k) { return path[k] == kCentre; });
    struct Case {
        const char* name;
        int move;
        int result;
        const char* text;
    };
    const Case cases[] = {
        {"off centre after the first move", 1, 0, "残念！ハズレ!"},
        {"off centre just before the centre", firstCentre - 1, 0, "残念！ハズレ!"},
        {"on the centre", firstCentre, 1, "大当たり！"},
        {"on the centre late in the game", lateCentre, 1, "大当たり！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Space 200 ms after the move: the target has been drawn there several times.
        EXPECT_EQ(playWithSpaceAt(kStartMs + kMoveMs * c.move + 200), c.result);
        EXPECT_TEXT_AT(30, 25, c.text);
        expectScopeWithTarget(path[c.move]);
    }
}

TEST(Shooting, CellUnderTheTargetIsRestored) {
    const std::vector<Spot> path = targetPath(44);
    const auto leaving = [&](const std::function<bool(Spot)>& kind) {
        return firstMove(path, 1,
                         [&](int k) { return path[k - 1] != path[k] && kind(path[k - 1]); });
    };
    struct Case {
        const char* name;
        int move;
    };
    const Case cases[] = {
        {"centre leaves +", leaving([](Spot s) { return s == kCentre; })},
        {"vertical bar leaves |", leaving([](Spot s) { return s.x == 15 && s.y != 8; })},
        {"horizontal bar leaves -", leaving([](Spot s) { return s.x != 15 && s.y == 8; })},
        {"elsewhere leaves a blank", leaving([](Spot s) { return s.x != 15 && s.y != 8; })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        playWithSpaceAt(kStartMs + kMoveMs * c.move + 100);
        const Spot left = path[c.move - 1];
        EXPECT_EQ(vt::textAt(left.x + 16, left.y + 10, 1), scopeCell(left));
        expectScopeWithTarget(path[c.move]);
    }
}

TEST(Shooting, TimeOverAfterTwentySeconds) {
    vt::reset();
    vt::type("a");
    vt::type("b");
    vt::typeAt(kStartMs + 22000, "x");  // dropped: only Space ends the game
    vt::typeAt(kStartMs + 25000, " ");
    vt::type("c");
    int result = -1;
    EXPECT_EQ(vt::run([&] { result = playShooting(); }), -1);
    EXPECT_EQ(result, 0);
    EXPECT_TEXT_AT(30, 25, "Time Over ...");
    EXPECT_GE(vt::nowMs(), kStartMs + 25000);

    // The page froze when the time was up: the clock stopped short of 20 seconds.
    const auto& pages = vt::snapshots();
    ASSERT_EQ(pages.size(), 5u);  // rules, instruction, frozen, frozen after "x", outcome
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 50, 10, "19.");
    EXPECT_SNAPSHOT_TEXT_AT(pages[2], 20, 10, "Time  :");
    for (int row = 15; row <= 21; ++row) {
        EXPECT_EQ(pages[2].rowText(row), pages[4].rowText(row)) << row;
    }
    EXPECT_EQ(pages[2].rowText(10), pages[4].rowText(10));
    EXPECT_EQ(vt::runningTimers(), 0);
}

}  // namespace
