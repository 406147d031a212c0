// The console's page: what is drawn goes into the picture of the page and into the output
// gathered for the terminal, which gets it in one write before every wait.
#include "console/console.hpp"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "console/console_state.hpp"
#include "console/screen_grid.hpp"
#include "console/text_width.hpp"
#include "platform/platform.hpp"

namespace console_detail {

ConsoleState state;

void appendCursorPosition(std::string& out, int column, int row) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "\x1b[%d;%dH", row, column);
    out += buffer;
}

}  // namespace console_detail

using console_detail::AmbiguousWidth;
using console_detail::appendCursorPosition;
using console_detail::state;

namespace {

// Brings the terminal's cursor to the console's cursor, if it is not there yet.
void syncCursor() {
    const int column = std::min(state.page.column, kConsoleColumns);
    if (state.terminalCursorKnown && state.terminalColumn == column &&
        state.terminalRow == state.page.row) {
        return;
    }
    appendCursorPosition(state.out, column, state.page.row);
    state.terminalCursorKnown = true;
    state.terminalColumn = column;
    state.terminalRow = state.page.row;
}

// Sends one character at the terminal's cursor, which stands at `column`. Characters that
// may be drawn narrow still take two columns: the second one is filled with a blank.
void emitGlyph(char32_t c, std::string_view bytes, int column, int row) {
    const int width = glyphWidth(c);
    if (width == 1 || !mayDrawNarrow(c) || state.ambiguous == AmbiguousWidth::Wide) {
        state.out += bytes;
        state.terminalColumn += width;
    } else if (state.ambiguous == AmbiguousWidth::Narrow) {
        // A horizontal bar is filled with itself, so the ladder's rungs stay unbroken.
        state.out += bytes;
        if (c == U'―') {
            state.out += bytes;
        } else {
            state.out += ' ';
        }
        state.terminalColumn += 2;
    } else {
        // Unknown: blank the second column, then draw over both; a wide terminal covers the
        // blank, a narrow one keeps it.
        appendCursorPosition(state.out, column + 1, row);
        state.out += ' ';
        appendCursorPosition(state.out, column, row);
        state.out += bytes;
        state.terminalCursorKnown = false;
    }
    if (state.terminalColumn > kConsoleColumns) {
        state.terminalCursorKnown = false;
    }
}

}  // namespace

namespace console_detail {

void newline() {
    syncCursor();
    state.page.carriageReturn();
    state.page.lineFeed();
    state.out += "\r\n";
    state.terminalColumn = 1;
    state.terminalRow = state.page.row;
}

void putGlyph(char32_t c, std::string_view bytes) {
    const int width = glyphWidth(c);
    if (state.page.column + width - 1 > kConsoleColumns) {
        newline();
    }
    syncCursor();
    const int column = state.page.column;
    const int row = state.page.row;
    state.page.put(bytes, width);
    emitGlyph(c, bytes, column, row);
}

}  // namespace console_detail

namespace {

// Draws the whole page again from the console's picture of it (after a suspend and resume,
// or once the window is large enough again). Whatever was gathered is in the picture already.
void repaint() {
    state.out = "\x1b[1;41r\x1b[2J";
    if (state.cursorHidden) {
        state.out += "\x1b[?25l";
    }
    state.terminalCursorKnown = false;
    for (int row = 1; row <= kConsoleRows; ++row) {
        for (int column = 1; column <= kConsoleColumns; ++column) {
            const ScreenCell& cell = state.page.at(column, row);
            if (cell.continuation || cell.glyph.empty()) {
                continue;
            }
            if (!state.terminalCursorKnown || state.terminalColumn != column ||
                state.terminalRow != row) {
                appendCursorPosition(state.out, column, row);
                state.terminalCursorKnown = true;
                state.terminalColumn = column;
                state.terminalRow = row;
            }
            char32_t c = 0;
            decodeUtf8(cell.glyph, 0, c);
            emitGlyph(c, cell.glyph, column, row);
        }
    }
}

bool windowTooSmall() {
    return state.windowColumns < kConsoleColumns || state.windowRows < kConsoleRows;
}

// In a window too small for the page, any part of it drawn would be cut or land on top of
// another part: the window says only what is wrong, in its middle, until it is large enough.
void showSmallWindowNotice() {
    char size[96];
    std::snprintf(size, sizeof size, "画面の大きさが %d x %d です。", state.windowColumns,
                  state.windowRows);
    char needed[96];
    std::snprintf(needed, sizeof needed, "%d x %d 以上にしてください", kConsoleColumns,
                  kConsoleRows);
    const int sizeWidth = textColumns(size);
    const int neededWidth = textColumns(needed);
    const bool oneLine = sizeWidth + neededWidth <= state.windowColumns;
    const int width = oneLine ? sizeWidth + neededWidth : std::max(sizeWidth, neededWidth);
    const int column = std::max(1, (state.windowColumns - width) / 2 + 1);
    const int row = std::max(1, (state.windowRows - (oneLine ? 1 : 2)) / 2 + 1);
    std::string notice = "\x1b[r\x1b[2J";
    appendCursorPosition(notice, column, row);
    notice += size;
    if (!oneLine) {
        appendCursorPosition(notice, column, row + 1);
    }
    notice += needed;
    platform::writeBytes(notice);
    state.noticeShown = true;
    state.terminalCursorKnown = false;
}

}  // namespace

void initConsole() {
    state = console_detail::ConsoleState{};
    platform::start();
    const platform::WindowSize size = platform::windowSize();
    state.windowColumns = size.columns;
    state.windowRows = size.rows;
    if (platform::inputIsTerminal()) {
        console_detail::probeAmbiguousWidth();
    }
    // Lines scroll and are deleted within the 41 rows of the console, whatever the window.
    state.out += "\x1b[1;41r\x1b[2J\x1b[H";
    state.page.clear();
    state.terminalCursorKnown = true;
    state.terminalColumn = 1;
    state.terminalRow = 1;
    flushOutput();
}

void clearScreen() {
    state.out += "\x1b[2J\x1b[H";
    state.page.clear();
    state.terminalCursorKnown = true;
    state.terminalColumn = 1;
    state.terminalRow = 1;
}

void moveCursor(int column, int row) {
    state.page.moveTo(column, row);
}

void printPlain(std::string_view text) {
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = 0;
        const std::size_t length = decodeUtf8(text, pos, c);
        const std::string_view bytes = text.substr(pos, length);
        pos += length;
        if (c == '\n') {
            console_detail::newline();
        } else if (c < 0x20 || c == 0x7F || c == 0xFFFD || (c >= 0x80 && c < 0xA0)) {
            continue;  // control characters never reach the terminal
        } else {
            console_detail::putGlyph(c, bytes);
        }
    }
}

void printText(const char* format, ...) {
    char small[256];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0) {
        va_end(copy);
        return;
    }
    if (static_cast<std::size_t>(length) < sizeof small) {
        va_end(copy);
        printPlain(std::string_view(small, static_cast<std::size_t>(length)));
        return;
    }
    std::vector<char> large(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, copy);
    va_end(copy);
    printPlain(std::string_view(large.data(), static_cast<std::size_t>(length)));
}

void clearToEndOfLine() {
    syncCursor();
    state.out += "\x1b[K";
    state.page.eraseToEndOfLine();
}

void hideCursor() {
    if (!state.cursorHidden) {
        state.out += "\x1b[?25l";
        state.cursorHidden = true;
    }
}

void deleteLine() {
    syncCursor();
    state.out += "\x1b[M";
    state.page.deleteLine();
    // Some terminals put the cursor in column 1 after deleting a line.
    if (state.page.column != 1) {
        state.terminalCursorKnown = false;
    }
}

// Every flush looks for a resume or a resize, so the timing games, which poll for keys and
// seldom block in a read, get their page back too.
void flushOutput() {
    bool lost = false;
    if (platform::takeResumed()) {
        const platform::WindowSize size = platform::windowSize();
        lost = true;
        state.noticeShown = false;  // a resumed terminal may have lost the notice too
        state.windowColumns = size.columns;
        state.windowRows = size.rows;
    }
    if (windowTooSmall()) {
        // The game goes on with its page kept here; the terminal sees it once it fits.
        state.out.clear();
        if (!state.noticeShown) {
            showSmallWindowNotice();
        }
        return;
    }
    if (lost || state.noticeShown) {
        state.noticeShown = false;
        repaint();
    }
    syncCursor();
    if (!state.out.empty()) {
        platform::writeBytes(state.out);
        state.out.clear();
    }
}

// A window made large enough, or a game resumed, during a long pause shows its page at once.
void sleepMs(int ms) {
    flushOutput();
    const std::int64_t deadline = platform::monotonicMicros() + std::int64_t{ms} * 1000;
    for (;;) {
        const std::int64_t left = deadline - platform::monotonicMicros();
        if (left <= 0) {
            return;
        }
        platform::sleepMs(static_cast<int>((left + 999) / 1000));
        flushOutput();
    }
}

std::int64_t currentTimeSeconds() {
    return platform::wallClockSeconds();
}

int startPeriodicTimer(int periodMs, void (*callback)(void* user), void* user) {
    return platform::startTimer(periodMs, callback, user);
}

void stopPeriodicTimer(int handle) {
    if (handle != 0) {
        platform::stopTimer(handle);
    }
}

int cursorColumn() {
    return state.page.column;
}
int cursorRow() {
    return state.page.row;
}

void endProgram(int status, std::string_view errorMessage) {
    flushOutput();
    platform::exitProcess(status, errorMessage);
}
