#include "board/board_map.hpp"

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "board/board.hpp"
#include "console/console.hpp"
#include "platform/platform.hpp"
#include "state/game_files.hpp"

namespace {

const char* const kMapFileNames[21] = {
    "",          "map01.txt", "map02.txt", "map03.txt", "map04.txt", "map05.txt", "map06.txt",
    "map07.txt", "map08.txt", "map09.txt", "map10.txt", "map11.txt", "map12.txt", "map13.txt",
    "map14.txt", "map15.txt", "map16.txt", "map17.txt", "map18.txt", "map19.txt", "map20.txt",
};

bool isBlank(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

enum class Token { Number, End, NotANumber };

// The text of a map file, read one character at a time; -1 at its end.
struct MapText {
    std::string_view text;
    std::size_t at = 0;

    int next() { return at < text.size() ? static_cast<unsigned char>(text[at++]) : -1; }
};

// Reads the next whitespace-separated integer. Only a sign and decimal digits make a number,
// and it must fit in 32 bits.
Token readNumber(MapText& in, std::int32_t& value) {
    int c = in.next();
    while (c != -1 && isBlank(c)) {
        c = in.next();
    }
    if (c == -1) {
        return Token::End;
    }
    bool negative = false;
    if (c == '-' || c == '+') {
        negative = c == '-';
        c = in.next();
    }
    std::int64_t magnitude = 0;
    int digits = 0;
    while (c >= '0' && c <= '9') {
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL) {
            return Token::NotANumber;
        }
        ++digits;
        c = in.next();
    }
    if (digits == 0 || (c != -1 && !isBlank(c))) {
        return Token::NotANumber;
    }
    const std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX) {
        return Token::NotANumber;
    }
    value = static_cast<std::int32_t>(signedValue);
    return Token::Number;
}

// The cell pictures, two columns each; the first rule that matches wins.
const char* cellPicture(std::int32_t cell, const BoardMap& map, int playerSquare) {
    if (cell == map.start) {
        return "S ";
    }
    if (cell == map.goal) {
        return "G ";
    }
    if (playerSquare != 0 && cell == playerSquare) {
        return "■";
    }
    if (cell == 0) {
        return "　";
    }
    return "□";
}

}  // namespace

const char* mapFileName(int stage) {
    if (stage < 1 || stage > 20) {
        return kMapFileNames[0];
    }
    return kMapFileNames[stage];
}

bool readBoardMap(const std::string& path, BoardMap& map, std::string& problem) {
    map = BoardMap{};
    if (path.empty()) {
        problem = "no map file for this stage";
        return false;
    }
    std::string text;
    if (!platform::readFile(path, kMaxMapFileBytes + 1, text, problem)) {
        return false;
    }
    if (text.size() > kMaxMapFileBytes) {
        problem = "larger than " + std::to_string(kMaxMapFileBytes) + " bytes";
        return false;
    }
    MapText in{text};
    bool ended = false;
    // A file that ends early reads as zeros from there on.
    const auto next = [&](std::int32_t& value, const char* what) {
        value = 0;
        if (ended) {
            return true;
        }
        const Token token = readNumber(in, value);
        if (token == Token::End) {
            ended = true;
            return true;
        }
        if (token == Token::NotANumber) {
            problem = std::string("the ") + what + " is not a number";
            return false;
        }
        return true;
    };
    std::int32_t header[4];
    const char* const names[4] = {"width", "height", "goal", "start value"};
    for (int i = 0; i < 4; ++i) {
        if (!next(header[i], names[i])) {
            return false;
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (header[i] < 1 || header[i] > kMaxMapSide) {
            problem = std::string("the ") + names[i] + " " + std::to_string(header[i]) +
                      " is outside 1 to " + std::to_string(kMaxMapSide);
            return false;
        }
    }
    map.width = header[0];
    map.height = header[1];
    map.goal = header[2];
    map.start = header[3];
    map.cells.assign(static_cast<std::size_t>(map.width) * static_cast<std::size_t>(map.height), 0);
    for (std::int32_t& cell : map.cells) {
        if (!next(cell, "cell")) {
            return false;
        }
    }
    return true;
}

int drawBoard(int stage, int playerSquare) {
    const std::string path = mapFilePath(mapFileName(stage));
    BoardMap map;
    std::string problem;
    if (!readBoardMap(path, map, problem)) {
        printText("Error!\n");
        // The page is gone once the terminal is restored, so the message goes to stderr too.
        endProgram(1, "Error!\npervaro: map file \"" + path + "\" for stage " +
                          std::to_string(stage) + ": " + problem + "\n");
    }
    clearScreen();
    // A map 34 rows high would start above the console; it starts at row 1 like taller ones.
    const int rowOffset = map.height < 34 ? (35 - map.height) / 2 : 1;
    const int columnOffset = map.width < 79 ? (79 - map.width) / 2 : 1;
    std::string line;
    for (int row = 0; row < map.height; ++row) {
        moveCursor(columnOffset, rowOffset + row);
        line.clear();
        for (int column = 0; column < map.width; ++column) {
            line += cellPicture(map.cell(row, column), map, playerSquare);
        }
        printPlain(line);
    }
    if (rowOffset == 1) {
        moveCursor(24, map.height + 1);
    } else {
        moveCursor(24, 35);
    }
    printText("STAGE : %2d\n", stage);
    return map.goal;
}
