// Reading keys: input bytes are gathered as they come and decoded into the game's key codes.
#include "console/keys.hpp"

#include "console/console.hpp"
#include "console/console_state.hpp"
#include "platform/platform.hpp"

namespace console_detail {

void noteRawByte(int byte) {
    if (state.raw.empty()) {
        state.rawSinceMicros = platform::monotonicMicros();
    }
    state.raw += static_cast<char>(byte);
}

}  // namespace console_detail

namespace {

using console_detail::kLongestSequence;
using console_detail::noteRawByte;
using console_detail::state;

// A lone Escape is told from the start of a sequence by this much quiet after it.
constexpr std::int64_t kEscapeQuietMicros = 100'000;

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

bool quietPeriodPassed() {
    return platform::monotonicMicros() - state.rawSinceMicros >= kEscapeQuietMicros;
}

void decodeAvailable(bool final) {
    while (!state.raw.empty()) {
        const DecodedKey decoded = decodeKey(state.raw, final);
        if (decoded.used == 0) {
            return;
        }
        state.raw.erase(0, decoded.used);
        state.keys.insert(state.keys.end(), decoded.keys, decoded.keys + decoded.count);
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

}  // namespace

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

void waitKeyAt(int column, int row) {
    moveCursor(column, row);
    waitKey();
}

void waitForKeyOrTick(int timeoutMs) {
    if (keyPending()) {
        return;
    }
    platform::waitForInputOrTick(timeoutMs);
}
