#include "console/text_width.hpp"

namespace {

struct Range {
    char32_t first;
    char32_t last;
};

// East Asian Wide and Fullwidth blocks: every terminal draws these two columns wide.
constexpr Range kSurelyWide[] = {
    {0x1100, 0x115F}, {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF}, {0x4E00, 0x9FFF},
    {0xA000, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F}, {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x20000, 0x3FFFD},
};

}  // namespace

int glyphWidth(char32_t c) {
    return c < 0x80 ? 1 : 2;
}

bool mayDrawNarrow(char32_t c) {
    if (c < 0x80) {
        return false;
    }
    for (const Range& r : kSurelyWide) {
        if (c >= r.first && c <= r.last) {
            return false;
        }
    }
    return true;
}

std::size_t decodeUtf8(std::string_view text, std::size_t pos, char32_t& out) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(pos);
    if (lead < 0x80) {
        out = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07u;
    } else {
        out = 0xFFFD;
        return 1;
    }
    if (pos + length > text.size()) {
        out = 0xFFFD;
        return 1;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            out = 0xFFFD;
            return 1;
        }
        value = (value << 6) | (next & 0x3Fu);
    }
    const char32_t minimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < minimum[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        out = 0xFFFD;
        return 1;
    }
    out = value;
    return length;
}

int textColumns(std::string_view text) {
    int columns = 0;
    for (std::size_t pos = 0; pos < text.size();) {
        char32_t c = 0;
        pos += decodeUtf8(text, pos, c);
        columns += glyphWidth(c);
    }
    return columns;
}
