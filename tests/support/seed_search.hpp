#pragma once
// Games seed the generator from the wall clock; tests pick the second whose draws they need.
#include <cstdint>

#include "console/random.hpp"

// The first wall-clock second from `from` on whose seeding makes `wanted` true; `wanted` draws
// with nextRandom() as the game would right after seeding. -1 when a million seconds give none.
template <typename Wanted>
std::int64_t findSeedSecond(Wanted wanted, std::int64_t from = 1'800'000'000) {
    for (std::int64_t second = from; second < from + 1'000'000; ++second) {
        seedRandom(static_cast<std::uint32_t>(second));
        if (wanted()) {
            return second;
        }
    }
    return -1;
}
