#pragma once
// A broken invariant ends the fuzz run with a crash the fuzzer reports and keeps.
#include <cstdlib>

inline void check(bool holds) {
    if (!holds) {
        std::abort();
    }
}
