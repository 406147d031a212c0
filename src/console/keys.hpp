#pragma once
// Turning the bytes a terminal sends into the game's key codes: a pure function, so that it
// can be tried on any bytes.
#include <cstddef>
#include <string_view>

struct DecodedKey {
    std::size_t used = 0;  // bytes taken; 0 when more bytes are needed to tell what they are
    int count = 0;         // keys produced: 0 (a sequence swallowed whole), 1, or 2 (a cursor key)
    int keys[2] = {};
};

// Decodes the key at the front of `bytes` (not empty). `final` says no more bytes will come
// for it (a quiet period passed, or the input ended): an unfinished sequence is then dropped,
// a lone Escape is a key, and something is always used.
DecodedKey decodeKey(std::string_view bytes, bool final);
