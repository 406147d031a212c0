#include "tools/page_picture.hpp"

#include <cstdio>
#include <string_view>

#include "console/random.hpp"
#include "console/text_width.hpp"
#include "frontend/main_loop.hpp"
#include "support/map_directory.hpp"
#include "support/virtual_platform.hpp"

namespace {

// One cell is 10 x 20 pixels. Every character is centred on its cell (or its two cells), so the
// columns line up whatever the font's own widths, and a narrow glyph of a font without
// Japanese (a square, a circle) still stands in the middle of its two columns.
constexpr int kCellWidth = 10;
constexpr int kCellHeight = 20;
constexpr int kMargin = 12;
constexpr int kBaseline = 15;

const char* const kFonts =
    "'DejaVu Sans Mono', 'Noto Sans Mono', Menlo, Consolas, 'Noto Sans Mono CJK JP', "
    "'Noto Sans CJK JP', 'Source Han Code JP', 'Hiragino Kaku Gothic ProN', 'IPAGothic', "
    "'MS Gothic', 'Osaka-Mono', monospace";

bool isBlank(const ScreenCell& cell) {
    return cell.continuation || cell.glyph.empty() || cell.glyph == " " || cell.glyph == "\u3000";
}

void appendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            default:
                out += c;
        }
    }
}

std::string number(int value) {
    return std::to_string(value);
}

}  // namespace

std::string renderPageSvg(const ScreenGrid& page, const std::string& title) {
    const int width = page.columns * kCellWidth + 2 * kMargin;
    const int height = page.rows * kCellHeight + 2 * kMargin;
    std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + number(width) +
                      "\" height=\"" + number(height) + "\" viewBox=\"0 0 " + number(width) + " " +
                      number(height) + "\">\n<title>";
    appendEscaped(svg, title);
    svg += "</title>\n<rect width=\"100%\" height=\"100%\" rx=\"6\" fill=\"#1c1c1c\"/>\n";
    svg += "<g font-family=\"";
    svg += kFonts;
    svg += "\" font-size=\"17\" fill=\"#e8e8e8\" text-anchor=\"middle\">\n";
    // One text element per character: renderers differ in how they place the characters of
    // a longer text, never in where a text of one character stands.
    for (int row = 1; row <= page.rows; ++row) {
        const std::string y = number(kMargin + (row - 1) * kCellHeight + kBaseline);
        for (int column = 1; column <= page.columns; ++column) {
            const ScreenCell& cell = page.at(column, row);
            if (isBlank(cell)) {
                continue;
            }
            const bool wide = column < page.columns && page.at(column + 1, row).continuation;
            const int centre =
                kMargin + (column - 1) * kCellWidth + (wide ? kCellWidth : kCellWidth / 2);
            svg += "<text x=\"" + number(centre) + "\" y=\"" + y + "\">";
            appendEscaped(svg, cell.glyph);
            svg += "</text>\n";
        }
    }
    return svg + "</g>\n</svg>\n";
}

ScreenGrid pageAfterKeys(const std::vector<std::string>& keys) {
    const MapDirectory maps;
    vt::reset();
    setRandomState(1);  // as when the game starts, whatever ran before in this process
    for (const std::string& key : keys) {
        vt::type(key);
    }
    vt::run([] { runGame(); });  // ends when the keys have run out
    return vt::snapshots().empty() ? vt::screen() : vt::snapshots().back();
}

const std::vector<ReadmePicture>& readmePictures() {
    static const std::vector<ReadmePicture> pictures = {
        {"title.svg", "Pervaro: the title page", {"x"}, 16, 15, "ペルヴァロへ！！"},
        // A new game at stage 1 (no rules pages), after the first roll of the die.
        {"board.svg",
         "Pervaro: stage 1 after the first roll",
         {"x", "1\r", "1\r", "1\r", "k", "0\r", "1\r", "k", "k"},
         1,
         40,
         "止まったマスのイベントが発生しました!"},
    };
    return pictures;
}

std::string drawReadmePicture(const ReadmePicture& picture) {
    const ScreenGrid page = pageAfterKeys(picture.keys);
    const std::string shows = picture.shows;
    if (page.textAt(picture.column, picture.row, textColumns(shows)) != shows) {
        return {};
    }
    return renderPageSvg(page, picture.title);
}
