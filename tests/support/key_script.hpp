#pragma once
// Keys that scripts type often, each delivered when the game asks (vt::type).
#include <string>
#include <vector>

#include "support/virtual_platform.hpp"

using Keys = std::vector<std::string>;

inline const std::string kUp = "\x1b[A", kDown = "\x1b[B", kRight = "\x1b[C", kLeft = "\x1b[D";
inline const std::string kEnter = "\r";
// The boss battle's secret way out.
inline const Keys kHidden = {kUp, kUp, kDown, kDown, kLeft, kRight, kLeft, kRight, "b", kEnter};

inline void typeKeys(const Keys& keys) {
    for (const std::string& key : keys) {
        vt::type(key);
    }
}

// Presses of the space bar, one at each key wait.
inline void typeSpaces(int count) {
    for (int i = 0; i < count; ++i) {
        vt::type(" ");
    }
}
