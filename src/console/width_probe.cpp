// At start-up the game asks the terminal how wide it draws the characters that may be narrow.
#include <cstdio>
#include <string>

#include "console/console_state.hpp"
#include "platform/platform.hpp"

namespace console_detail {

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

}  // namespace console_detail
