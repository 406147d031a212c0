#pragma once
// How long the platform tests wait, and how they measure time: with the standard library's
// steady clock, apart from the platform's own.
#include <chrono>

// How long a step may take before a test gives up: generous, for a loaded machine.
inline constexpr int kPatienceMs = 5000;

inline long long nowMicros() {
    return std::chrono::steady_clock::now().time_since_epoch() / std::chrono::microseconds(1);
}

// Milliseconds the call took.
template <typename Call>
long long msOf(Call call) {
    const long long startedAt = nowMicros();
    call();
    return (nowMicros() - startedAt) / 1000;
}
