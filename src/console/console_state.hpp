#pragma once
// What the console's own source files share: the page as the console drew it, the output
// gathered for the next write, and the input on its way to becoming keys. Nothing outside
// src/console includes this.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "console/console.hpp"
#include "console/screen_grid.hpp"

namespace console_detail {

// How the terminal draws the characters that may be one column wide (see text_width.hpp).
enum class AmbiguousWidth { Unknown, Narrow, Wide };

// Longest escape sequence or partial character kept while waiting for its end.
inline constexpr std::size_t kLongestSequence = 512;

struct ConsoleState {
    ScreenGrid page{kConsoleColumns, kConsoleRows};
    std::string out;
    bool terminalCursorKnown = false;
    int terminalColumn = 1;
    int terminalRow = 1;
    AmbiguousWidth ambiguous = AmbiguousWidth::Unknown;
    int windowColumns = kConsoleColumns;
    int windowRows = kConsoleRows;
    bool cursorHidden = false;
    // The window is too small for the page: the page is kept here and only a notice shows.
    bool noticeShown = false;

    std::string raw;                  // input bytes not yet decoded into keys
    std::int64_t rawSinceMicros = 0;  // when the oldest of them arrived
    bool inputEnded = false;
    std::deque<int> keys;  // decoded keys not yet read
    std::string lineRest;  // what follows a number on its input line
};

extern ConsoleState state;

// Output (console.cpp).
void appendCursorPosition(std::string& out, int column, int row);
void newline();
void putGlyph(char32_t c, std::string_view bytes);

// Input (keys.cpp): a byte that arrived, to be decoded with the rest.
void noteRawByte(int byte);

// Asks the terminal how wide it draws ● (width_probe.cpp); keys typed meanwhile are kept.
void probeAmbiguousWidth();

}  // namespace console_detail
