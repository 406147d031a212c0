#include "console/console.hpp"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "console/platform.hpp"
#include "console/screen_grid.hpp"
#include "console/text_width.hpp"

namespace {

// How the terminal draws the characters that may be one column wide (see text_width.hpp).
enum class AmbiguousWidth { Unknown, Narrow, Wide };

// A lone Escape is told from the start of a sequence by this much quiet after it.
constexpr std::int64_t kEscapeQuietMicros = 100'000;
// Longest escape sequence or partial character kept while waiting for its end.
constexpr std::size_t kLongestSequence = 512;
// Longest line the number input keeps.
constexpr std::size_t kLongestLine = 200;

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

ConsoleState state;

void appendCursorPosition(std::string& out, int column, int row) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "\x1b[%d;%dH", row, column);
    out += buffer;
}

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

void newline() {
    syncCursor();
    state.page.carriageReturn();
    state.page.lineFeed();
    state.out += "\r\n";
    state.terminalColumn = 1;
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

// ---- Keys ----

void noteRawByte(int byte) {
    if (state.raw.empty()) {
        state.rawSinceMicros = platform::monotonicMicros();
    }
    state.raw += static_cast<char>(byte);
}

// Takes in every input byte that is already there, without waiting.
void pumpInput() {
    while (state.raw.size() < 4 * kLongestSequence) {
        const int byte = platform::readByte(0);
        if (byte == platform::kEndOfInput) {
            state.inputEnded = true;
            return;
        }
        if (byte == platform::kNoByte) {
            return;
        }
        noteRawByte(byte);
    }
}

enum class Decoded { NeedMore, Done };

// Decodes the key at the front of the raw bytes, if it is complete. `final` means no more
// bytes will come for it (the quiet period passed or the input ended): an incomplete sequence
// is then dropped, and a lone Escape is a key.
Decoded decodeFront(bool final) {
    std::string& raw = state.raw;
    const auto byteAt = [&](std::size_t i) { return static_cast<unsigned char>(raw[i]); };
    const auto drop = [&](std::size_t n) { raw.erase(0, n); };
    const unsigned char first = byteAt(0);

    if (first == 0x1B) {
        if (raw.size() == 1) {
            if (!final) {
                return Decoded::NeedMore;
            }
            drop(1);
            state.keys.push_back(kKeyEscape);
            return Decoded::Done;
        }
        const unsigned char kind = byteAt(1);
        if (kind == 0x1B) {  // Escape, then something else
            drop(1);
            state.keys.push_back(kKeyEscape);
            return Decoded::Done;
        }
        if (kind == '[') {
            // X10 mouse report: ESC [ M and three raw bytes.
            if (raw.size() >= 3 && byteAt(2) == 'M') {
                if (raw.size() < 6) {
                    if (!final) {
                        return Decoded::NeedMore;
                    }
                    drop(raw.size());
                    return Decoded::Done;
                }
                drop(6);
                return Decoded::Done;
            }
            std::size_t i = 2;
            while (i < raw.size() && i < kLongestSequence &&
                   (byteAt(i) < 0x40 || byteAt(i) > 0x7E)) {
                if (byteAt(i) < 0x20) {  // a control byte cannot be inside: the sequence broke off
                    drop(i);
                    return Decoded::Done;
                }
                ++i;
            }
            if (i >= kLongestSequence) {
                drop(i);
                return Decoded::Done;
            }
            if (i >= raw.size()) {
                if (!final) {
                    return Decoded::NeedMore;
                }
                drop(raw.size());
                return Decoded::Done;
            }
            const unsigned char finalByte = byteAt(i);
            const bool plain =
                i == 2 || (i == 3 && byteAt(2) == '1') || raw.compare(2, 2, "1;") == 0;
            drop(i + 1);
            const int code = finalByte == 'A'   ? kKeyUp
                             : finalByte == 'B' ? kKeyDown
                             : finalByte == 'C' ? kKeyRight
                             : finalByte == 'D' ? kKeyLeft
                                                : -1;
            if (code >= 0 && plain) {
                state.keys.push_back(kKeyExtended);
                state.keys.push_back(code);
            }
            return Decoded::Done;
        }
        if (kind == 'O') {
            if (raw.size() < 3) {
                if (!final) {
                    return Decoded::NeedMore;
                }
                drop(raw.size());
                return Decoded::Done;
            }
            const unsigned char finalByte = byteAt(2);
            drop(3);
            const int code = finalByte == 'A'   ? kKeyUp
                             : finalByte == 'B' ? kKeyDown
                             : finalByte == 'C' ? kKeyRight
                             : finalByte == 'D' ? kKeyLeft
                                                : -1;
            if (code >= 0) {
                state.keys.push_back(kKeyExtended);
                state.keys.push_back(code);
            }
            return Decoded::Done;
        }
        if (kind == ']' || kind == 'P' || kind == '_' || kind == '^') {
            // A string sequence: up to BEL or ESC backslash.
            for (std::size_t i = 2; i < raw.size() && i < kLongestSequence; ++i) {
                if (byteAt(i) == 0x07) {
                    drop(i + 1);
                    return Decoded::Done;
                }
                if (byteAt(i) == 0x1B && i + 1 < raw.size() && byteAt(i + 1) == '\\') {
                    drop(i + 2);
                    return Decoded::Done;
                }
            }
            if (!final && raw.size() < kLongestSequence) {
                return Decoded::NeedMore;
            }
            drop(std::min(raw.size(), kLongestSequence));
            return Decoded::Done;
        }
        // Alt with a key: dropped whole.
        char32_t ignored = 0;
        drop(1 + decodeUtf8(raw, 1, ignored));
        return Decoded::Done;
    }
    if (first == '\r') {
        drop(raw.size() >= 2 && byteAt(1) == '\n' ? 2 : 1);
        state.keys.push_back(kKeyEnter);
        return Decoded::Done;
    }
    if (first == '\n') {
        drop(1);
        state.keys.push_back(kKeyEnter);
        return Decoded::Done;
    }
    if (first == 0x7F || first == 0x08) {
        drop(1);
        state.keys.push_back(kKeyBackspace);
        return Decoded::Done;
    }
    if (first == 0) {  // a NUL byte would look like the start of a cursor key
        drop(1);
        return Decoded::Done;
    }
    if (first < 0x80) {
        drop(1);
        state.keys.push_back(first);
        return Decoded::Done;
    }
    // A multi-byte character: one key, its code point.
    std::size_t needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
    if (raw.size() < needed && !final) {
        bool continuationSoFar = true;
        for (std::size_t i = 1; i < raw.size(); ++i) {
            continuationSoFar = continuationSoFar && (byteAt(i) & 0xC0) == 0x80;
        }
        if (continuationSoFar && first >= 0xC2 && first <= 0xF4) {
            return Decoded::NeedMore;
        }
    }
    char32_t c = 0;
    const std::size_t length = decodeUtf8(raw, 0, c);
    drop(length);
    if (c != 0xFFFD) {
        state.keys.push_back(static_cast<int>(c));
    }
    return Decoded::Done;
}

bool quietPeriodPassed() {
    return platform::monotonicMicros() - state.rawSinceMicros >= kEscapeQuietMicros;
}

void decodeAvailable(bool final) {
    while (!state.raw.empty()) {
        if (decodeFront(final) == Decoded::NeedMore) {
            return;
        }
        if (!state.raw.empty()) {
            state.rawSinceMicros = platform::monotonicMicros();
        }
    }
}

// Blocks until at least one key is decoded. Ends the program when the input has ended.
void waitForDecodedKey() {
    while (state.keys.empty()) {
        pumpInput();
        decodeAvailable(state.inputEnded || quietPeriodPassed());
        if (!state.keys.empty()) {
            return;
        }
        if (state.inputEnded) {
            decodeAvailable(true);
            if (!state.keys.empty()) {
                return;
            }
            endProgram(1, "pervaro: the input has ended\n");
        }
        // Every prompt and pause shows the cursor, whatever an animation did with it.
        if (state.cursorHidden) {
            state.out += "\x1b[?25h";
            state.cursorHidden = false;
        }
        flushOutput();  // a resume or a resize woke the read: the page is drawn again
        int byte = platform::kNoByte;
        if (!state.raw.empty()) {
            // The rest of a sequence: wait for it no longer than the quiet period.
            const std::int64_t waited = platform::monotonicMicros() - state.rawSinceMicros;
            const std::int64_t left = kEscapeQuietMicros - waited;
            byte = platform::readByte(left > 0 ? static_cast<int>((left + 999) / 1000) : 0);
        } else {
            byte = platform::readByte(-1);
        }
        if (byte == platform::kEndOfInput) {
            state.inputEnded = true;
        } else if (byte != platform::kNoByte) {
            noteRawByte(byte);
        }
    }
}

// The terminal's answer to the cursor-position question tells how wide it draws ●.
void probeAmbiguousWidth() {
    state.out += "\x1b[2J\x1b[H\xe2\x97\x8f\x1b[6n";
    platform::writeBytes(state.out);
    state.out.clear();
    const std::int64_t deadline = platform::monotonicMicros() + 300'000;
    std::string seen;
    for (;;) {
        const std::int64_t left = deadline - platform::monotonicMicros();
        if (left <= 0) {
            break;
        }
        const int byte = platform::readByte(static_cast<int>((left + 999) / 1000));
        if (byte == platform::kEndOfInput) {
            state.inputEnded = true;
            break;
        }
        if (byte == platform::kNoByte) {
            continue;
        }
        seen += static_cast<char>(byte);
        const std::size_t start = seen.rfind("\x1b[");
        if (byte == 'R' && start != std::string::npos) {
            int row = 0;
            int column = 0;
            if (std::sscanf(seen.c_str() + start, "\x1b[%d;%dR", &row, &column) == 2) {
                state.ambiguous = column == 2   ? AmbiguousWidth::Narrow
                                  : column == 3 ? AmbiguousWidth::Wide
                                                : AmbiguousWidth::Unknown;
                seen.erase(start);
                break;
            }
        }
        if (seen.size() > kLongestSequence) {
            break;
        }
    }
    // Keys typed meanwhile are kept.
    for (const char byte : seen) {
        noteRawByte(static_cast<unsigned char>(byte));
    }
}

}  // namespace

void initConsole() {
    state = ConsoleState{};
    platform::start();
    const platform::WindowSize size = platform::windowSize();
    state.windowColumns = size.columns;
    state.windowRows = size.rows;
    if (platform::inputIsTerminal()) {
        probeAmbiguousWidth();
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
            newline();
        } else if (c < 0x20 || c == 0x7F || c == 0xFFFD || (c >= 0x80 && c < 0xA0)) {
            continue;  // control characters never reach the terminal
        } else {
            putGlyph(c, bytes);
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

int readKey() {
    flushOutput();
    waitForDecodedKey();
    const int key = state.keys.front();
    state.keys.pop_front();
    return key;
}

bool keyPending() {
    flushOutput();
    if (!state.keys.empty()) {
        return true;
    }
    pumpInput();
    decodeAvailable(state.inputEnded || quietPeriodPassed());
    // At the end of the input the next read ends the program rather than anyone waiting.
    return !state.keys.empty() || state.inputEnded;
}

void waitKeyAt(int column, int row) {
    moveCursor(column, row);
    waitKey();
}

int readKeyPress() {
    const int key = readKey();
    if (key == kKeyExtended && !state.keys.empty()) {
        state.keys.pop_front();
    }
    return key;
}

// One press answers one pause.
void waitKey() {
    readKeyPress();
}

namespace {

// Enter ends an input line in column 1 of the next row; on the bottom row the page is not
// scrolled, the row is cleared instead, so the layout above stays put.
void endInputLine() {
    if (state.page.row < kConsoleRows) {
        newline();
        return;
    }
    moveCursor(1, state.page.row);
    clearToEndOfLine();
}

std::string readInputLine() {
    std::string line;
    std::vector<std::size_t> lengths;
    std::vector<int> widths;
    for (;;) {
        const int key = readKey();
        if (key == kKeyExtended) {
            readKey();  // cursor keys do nothing in a number
            continue;
        }
        if (key == kKeyEnter) {
            endInputLine();
            return line;
        }
        if (key == kKeyBackspace) {
            if (!widths.empty()) {
                const int width = widths.back();
                line.erase(line.size() - lengths.back());
                widths.pop_back();
                lengths.pop_back();
                const int column = state.page.column - width;
                const int row = state.page.row;
                moveCursor(column, row);
                printPlain(width == 2 ? "  " : " ");
                moveCursor(column, row);
            }
            continue;
        }
        if (key < 0x20 || key == 0x7F || (key >= 0x80 && key < 0xA0)) {
            continue;
        }
        const char32_t c = static_cast<char32_t>(key);
        const int width = glyphWidth(c);
        // The line stays on its row, so a long entry cannot push the page around.
        if (state.page.column + width - 1 > kConsoleColumns || line.size() >= kLongestLine) {
            continue;
        }
        std::string bytes;
        appendUtf8(bytes, c);
        line += bytes;
        lengths.push_back(bytes.size());
        widths.push_back(width);
        putGlyph(c, bytes);
    }
}

}  // namespace

bool readInt(int& value) {
    for (;;) {
        if (state.lineRest.empty()) {
            state.lineRest = readInputLine();
        }
        const std::string& line = state.lineRest;
        std::size_t pos = line.find_first_not_of(" \t");
        if (pos == std::string::npos) {
            state.lineRest.clear();
            continue;  // a blank line: the read goes on waiting
        }
        bool negative = false;
        if (line[pos] == '+' || line[pos] == '-') {
            negative = line[pos] == '-';
            ++pos;
        }
        const std::size_t digitsStart = pos;
        long long number = 0;
        bool tooLarge = false;
        while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9') {
            number = number * 10 + (line[pos] - '0');
            if (number > 2147483648LL) {
                tooLarge = true;
                number = 2147483648LL;
            }
            ++pos;
        }
        if (pos == digitsStart || tooLarge || (!negative && number > 2147483647LL)) {
            state.lineRest.clear();
            return false;
        }
        value = static_cast<int>(negative ? -number : number);
        state.lineRest.erase(0, pos);
        return true;
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

void waitForKeyOrTick(int timeoutMs) {
    if (keyPending()) {
        return;
    }
    platform::waitForInputOrTick(timeoutMs);
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
