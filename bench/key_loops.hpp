#pragma once
// The game's ways of meeting a key, as both benches time them: once key i has been read,
// `seen(i, micros)` is told the moment it showed (the platform's monotonic clock).
using KeySeen = void (*)(int key, long long micros);

// As the batting flight loop does: a 3 ms timer runs, and between two looks at the keys the loop
// waits for a key or the next tick.
void pollForKeysAsTheGameDoes(int keys, KeySeen seen);
// A blocked readKey, as at every prompt and pause.
void blockForKeys(int keys, KeySeen seen);
