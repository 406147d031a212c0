// The bytes of one key press, as terminals send them, and the codes the game reads for them.
#include <algorithm>

#include "console/console_state.hpp"
#include "console/keys.hpp"
#include "console/text_width.hpp"

namespace {

using console_detail::kLongestSequence;

constexpr unsigned char kEsc = 0x1B;

DecodedKey needMore() {
    return {};
}

DecodedKey swallow(std::size_t used) {
    return {used, 0, {}};
}

DecodedKey key(std::size_t used, int code) {
    return {used, 1, {code, 0}};
}

// The four cursor keys end their sequences with A to D, after ESC [ or ESC O.
int cursorCode(unsigned char finalByte) {
    switch (finalByte) {
        case 'A':
            return kKeyUp;
        case 'B':
            return kKeyDown;
        case 'C':
            return kKeyRight;
        case 'D':
            return kKeyLeft;
        default:
            return -1;
    }
}

DecodedKey cursorKeyOrNothing(std::size_t used, unsigned char finalByte) {
    const int code = cursorCode(finalByte);
    return code < 0 ? swallow(used) : DecodedKey{used, 2, {kKeyExtended, code}};
}

unsigned char at(std::string_view bytes, std::size_t i) {
    return static_cast<unsigned char>(bytes[i]);
}

// ESC [ M and three raw bytes: an old-style mouse report.
DecodedKey decodeMouseReport(std::string_view bytes, bool final) {
    if (bytes.size() < 6) {
        return final ? swallow(bytes.size()) : needMore();
    }
    return swallow(6);
}

// ESC [, parameters, one final byte. Only a cursor key without modifiers (or with the plain
// "1;" some terminals put first) is a key; function keys and the rest are swallowed.
DecodedKey decodeControlSequence(std::string_view bytes, bool final) {
    if (bytes.size() >= 3 && at(bytes, 2) == 'M') {
        return decodeMouseReport(bytes, final);
    }
    std::size_t i = 2;
    while (i < bytes.size() && i < kLongestSequence &&
           (at(bytes, i) < 0x40 || at(bytes, i) > 0x7E)) {
        if (at(bytes, i) < 0x20) {  // a control byte cannot be inside: the sequence broke off
            return swallow(i);
        }
        ++i;
    }
    if (i >= kLongestSequence) {
        return swallow(i);
    }
    if (i >= bytes.size()) {
        return final ? swallow(bytes.size()) : needMore();
    }
    const bool plain = i == 2 || (i == 3 && at(bytes, 2) == '1') || bytes.substr(2, 2) == "1;";
    return plain ? cursorKeyOrNothing(i + 1, at(bytes, i)) : swallow(i + 1);
}

// ESC O and one byte: cursor keys in application mode, and some function keys.
DecodedKey decodeSingleShift(std::string_view bytes, bool final) {
    if (bytes.size() < 3) {
        return final ? swallow(bytes.size()) : needMore();
    }
    return cursorKeyOrNothing(3, at(bytes, 2));
}

// ESC ] (and ESC P, ESC _, ESC ^): a string up to BEL or ESC backslash, such as a colour answer.
DecodedKey decodeStringSequence(std::string_view bytes, bool final) {
    for (std::size_t i = 2; i < bytes.size() && i < kLongestSequence; ++i) {
        if (at(bytes, i) == 0x07) {
            return swallow(i + 1);
        }
        if (at(bytes, i) == kEsc && i + 1 < bytes.size() && at(bytes, i + 1) == '\\') {
            return swallow(i + 2);
        }
    }
    if (!final && bytes.size() < kLongestSequence) {
        return needMore();
    }
    return swallow(std::min(bytes.size(), kLongestSequence));
}

DecodedKey decodeEscape(std::string_view bytes, bool final) {
    if (bytes.size() == 1) {
        return final ? key(1, kKeyEscape) : needMore();
    }
    switch (at(bytes, 1)) {
        case kEsc:  // Escape, then something else
            return key(1, kKeyEscape);
        case '[':
            return decodeControlSequence(bytes, final);
        case 'O':
            return decodeSingleShift(bytes, final);
        case ']':
        case 'P':
        case '_':
        case '^':
            return decodeStringSequence(bytes, final);
        default: {  // Alt with a key: dropped whole
            char32_t ignored = 0;
            return swallow(1 + decodeUtf8(bytes, 1, ignored));
        }
    }
}

// A character of two to four bytes is one key, its code point; a broken one is dropped.
DecodedKey decodeMultiByte(std::string_view bytes, bool final) {
    const unsigned char first = at(bytes, 0);
    const std::size_t needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : 2;
    if (bytes.size() < needed && !final && first >= 0xC2 && first <= 0xF4 &&
        std::all_of(bytes.begin() + 1, bytes.end(),
                    [](char b) { return (static_cast<unsigned char>(b) & 0xC0) == 0x80; })) {
        return needMore();
    }
    char32_t c = 0;
    const std::size_t length = decodeUtf8(bytes, 0, c);
    return c == 0xFFFD ? swallow(length) : key(length, static_cast<int>(c));
}

}  // namespace

DecodedKey decodeKey(std::string_view bytes, bool final) {
    const unsigned char first = at(bytes, 0);
    if (first == kEsc) {
        return decodeEscape(bytes, final);
    }
    if (first == '\r') {  // CR LF is one Enter
        return key(bytes.size() >= 2 && at(bytes, 1) == '\n' ? 2 : 1, kKeyEnter);
    }
    if (first == '\n') {
        return key(1, kKeyEnter);
    }
    if (first == 0x7F || first == 0x08) {
        return key(1, kKeyBackspace);
    }
    if (first == 0) {  // a NUL byte would look like the start of a cursor key
        return swallow(1);
    }
    if (first < 0x80) {
        return key(1, first);
    }
    return decodeMultiByte(bytes, final);
}
