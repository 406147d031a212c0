#pragma once
// What a platform writes when it takes the terminal and when it gives it back, the same on a
// POSIX terminal and a Windows console: the alternate screen with autowrap off; then the whole
// window for scrolling, the cursor to the bottom row, autowrap and the cursor back, and the
// main screen.
namespace platform {

inline constexpr char kTakeSequence[] = "\x1b[?1049h\x1b[?7l";
// The cursor goes to the bottom row before the alternate screen is left: where the terminal
// ignores the switch (GNU screen by default, serial consoles) the last page stays, and the
// shell's prompt then comes under it instead of over its top rows.
inline constexpr char kRestoreSequence[] = "\x1b[r\x1b[999;1H\x1b[?7h\x1b[?25h\x1b[?1049l";

}  // namespace platform
