#include "console/random.hpp"

#include <atomic>

#include "console/console.hpp"

namespace {
// Atomic because the shooting gallery's mover draws from its timer thread.
std::atomic<std::uint32_t> randomSeed{1};
}  // namespace

int nextRandom() {
    const std::uint32_t next = randomSeed.load(std::memory_order_relaxed) * 22695477u + 1u;
    randomSeed.store(next, std::memory_order_relaxed);
    return static_cast<int>((next >> 16) & 0x7FFFu);
}

void seedRandom(std::uint32_t seed) {
    randomSeed.store(seed, std::memory_order_relaxed);
    nextRandom();
}

void seedRandomFromClock() {
    seedRandom(static_cast<std::uint32_t>(currentTimeSeconds()));
}

std::uint32_t randomState() {
    return randomSeed.load(std::memory_order_relaxed);
}
void setRandomState(std::uint32_t state) {
    randomSeed.store(state, std::memory_order_relaxed);
}
