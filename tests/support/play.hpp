#pragma once
// What the screen tests share: scripted keys, the clock the game seeds from, playing a screen
// to its end, and checks on the pages the virtual terminal showed.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "board/board.hpp"
#include "console/console.hpp"
#include "console/random.hpp"
#include "console/text_width.hpp"
#include "items/items.hpp"
#include "minigames/minigames.hpp"
#include "state/player_state.hpp"
#include "support/golden_page.hpp"
#include "support/map_directory.hpp"
#include "support/virtual_platform.hpp"

// Keys as a terminal sends them ("\x1b[A" up, "12\r" a number entry), each typed when asked.
using Keys = std::vector<std::string>;

inline const std::string kUp = "\x1b[A", kDown = "\x1b[B", kRight = "\x1b[C", kLeft = "\x1b[D";
inline const std::string kEnter = "\r";
// The boss battle's secret way out.
inline const Keys kHidden = {kUp, kUp, kDown, kDown, kLeft, kRight, kLeft, kRight, "b", kEnter};

inline Keys operator+(Keys a, const Keys& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline void typeKeys(const Keys& keys) {
    for (const std::string& key : keys) {
        vt::type(key);
    }
}

// The 147 presses of 1 and 2 by turns that take the sprint's runner to the goal.
inline std::string pressesToGoal() {
    std::string keys;
    while (keys.size() < 147) {
        keys += "12"[keys.size() % 2];
    }
    return keys;
}

// A fresh platform and a new game, the wall clock at `second` at virtual time 0.
inline void newGameAt(std::int64_t second = vt::Options{}.wallClockStart) {
    vt::Options options;
    options.wallClockStart = second;
    vt::reset(options);
    applyNewGameDefaults();
}

// Runs a screen or game on the game so far with these keys: what it returns, or -1 when the
// program exited instead (the keys ran out). It wrote only what the terminal understands, and
// no item keeps the list number it had on screen.
template <typename Game>
int playWith(const Keys& keys, Game game) {
    typeKeys(keys);
    int result = -1;
    vt::run([&] { result = game(); });
    EXPECT_EQ(vt::unknownSequences(), std::vector<std::string>{});
    for (const ItemRecord& item : itemTable) {
        EXPECT_EQ(item.listNumber, 0) << item.name;
    }
    return result;
}

// The same in a new game started at `second`.
template <typename Game>
int play(const Keys& keys, Game game, std::int64_t second = vt::Options{}.wallClockStart) {
    newGameAt(second);
    return playWith(keys, game);
}

// Games seed the generator from the wall clock: the first second from 1'800'000'000 on whose
// seeding makes `wanted` true, `wanted` drawing with nextRandom() as the game would. A million
// seconds without one fail the test.
template <typename Wanted>
std::int64_t findSeedSecond(Wanted wanted) {
    for (std::int64_t second = 1'800'000'000; second < 1'801'000'000; ++second) {
        seedRandom(static_cast<std::uint32_t>(second));
        if (wanted()) {
            return second;
        }
    }
    ADD_FAILURE() << "no second in a million gives the draws wanted";
    return 1'800'000'000;
}

// The page at key wait `index` (negative: from the end).
inline const ScreenGrid& page(int index) {
    const auto& pages = vt::snapshots();
    return pages.at(index < 0 ? pages.size() - static_cast<std::size_t>(-index)
                              : static_cast<std::size_t>(index));
}

// The text stands at (column, row) of the grid, as many columns wide as the text itself.
#define EXPECT_AT(grid, column, row, text) \
    EXPECT_EQ((grid).textAt((column), (row), textColumns(text)), std::string(text))

// The pages at these key waits, each against its golden file.
inline void expectPages(const std::vector<std::pair<int, const char*>>& pages) {
    for (const auto& [index, name] : pages) {
        EXPECT_TRUE(matchesPage(page(index), name)) << "at key wait " << index;
    }
}
