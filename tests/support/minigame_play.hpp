#pragma once
// Playing one mini-game on the virtual platform: the clock it seeds from, its result, the keys
// it waits for; with what every mini-game test uses besides.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "console/random.hpp"
#include "minigames/minigames.hpp"
#include "support/screen_expect.hpp"
#include "support/seed_search.hpp"
#include "support/virtual_platform.hpp"

// Resets the platform with the wall clock at `second` at virtual time 0.
inline void resetAtSecond(std::int64_t second) {
    vt::Options options;
    options.wallClockStart = second;
    vt::reset(options);
}

// Runs the game; its result, or -1 when the program exited instead (keys ran out).
template <typename Game>
int gameResult(Game game) {
    int result = -1;
    vt::run([&] { result = game(); });
    return result;
}

// `count` Space presses, each when the game asks for a key.
inline void pressKeys(int count) {
    for (int i = 0; i < count; ++i) {
        vt::type(" ");
    }
}

// `count` presses of 1 and 2 by turns.
inline std::string alternatingPresses(int count) {
    std::string keys;
    for (int i = 0; i < count; ++i) {
        keys += i % 2 == 0 ? '1' : '2';
    }
    return keys;
}
