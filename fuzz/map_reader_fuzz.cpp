// The map reader and the board drawing on any file: a map is refused cleanly or drawn without
// reading or writing outside its grid, and never asks for unbounded memory.
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/board.hpp"
#include "board/board_map.hpp"
#include "fuzz_check.hpp"
#include "support/virtual_platform.hpp"

// The map file is written on the virtual platform's disk, where the game reads it.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vt::putFile("map03.txt", std::string(reinterpret_cast<const char*>(data), size));
    BoardMap map;
    std::string problem;
    if (readBoardMap("map03.txt", map, problem)) {
        check(map.width >= 1 && map.width <= kMaxMapSide);
        check(map.height >= 1 && map.height <= kMaxMapSide);
        check(map.cells.size() == static_cast<std::size_t>(map.width) * map.height);
    } else {
        check(!problem.empty());
    }
    vt::Options options;
    options.keepSnapshots = false;
    vt::reset(options);
    int goal = 0;
    const int status = vt::run([&] { goal = drawBoard(3, size > 0 ? data[0] : 0); });
    check(status == -1 || status == 1);
    if (status == -1) {
        check(goal == map.goal);
    }
    return 0;
}
