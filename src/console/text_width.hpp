#pragma once
// Column widths of the characters the game prints.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/utf8.hpp"

// ASCII takes one column, every other character two.
int glyphWidth(char32_t c);

// True for characters that terminals may draw one column wide although the game counts two
// (● ○ ■ □ ― ♪ ※ ◆ ◇ → ⑪ and anything else outside the East Asian wide ranges).
bool mayDrawNarrow(char32_t c);

// Decodes the UTF-8 character at text[pos]; returns its length in bytes (at least 1). An invalid
// byte decodes as U+FFFD with length 1.
std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t& out);

// Columns the text takes on the game's console.
int textColumns(std::string_view text);
