#include "key_loops.hpp"

#include "console/console.hpp"
#include "platform/platform.hpp"

namespace {

void tickIdly(void*) {}

}  // namespace

void pollForKeysAsTheGameDoes(int keys, KeySeen seen) {
    const int timer = startPeriodicTimer(3, tickIdly, nullptr);
    for (int i = 0; i < keys; ++i) {
        while (!keyPending()) {
            waitForKeyOrTick(3);
        }
        const long long shown = platform::monotonicMicros();
        readKey();
        seen(i, shown);
    }
    stopPeriodicTimer(timer);
}

void blockForKeys(int keys, KeySeen seen) {
    for (int i = 0; i < keys; ++i) {
        readKey();
        seen(i, platform::monotonicMicros());
    }
}
