// The number input: a small line editor with echo and Backspace, and the rest of a line kept
// for the next number.
#include <string>
#include <vector>

#include "console/console.hpp"
#include "console/console_state.hpp"
#include "console/text_width.hpp"

namespace {

using console_detail::newline;
using console_detail::putGlyph;
using console_detail::state;

// Longest line the number input keeps.
constexpr std::size_t kLongestLine = 200;

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
        platform::appendUtf8(bytes, c);
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
