// The map reader and the board drawing on any file: a map is refused cleanly or drawn without
// reading or writing outside its grid, and never asks for unbounded memory.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "board/board.hpp"
#include "board/board_map.hpp"
#include "fuzz_check.hpp"
#include "support/virtual_platform.hpp"

namespace {

// The fuzzer runs in a scratch directory of its own, where the map file is written.
struct ScratchDirectory {
    ScratchDirectory() {
        char path[] = "/tmp/pervaro-map-fuzz-XXXXXX";
        check(mkdtemp(path) != nullptr);
        check(chdir(path) == 0);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static ScratchDirectory scratch;
    {
        std::ofstream out("map03.txt", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
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
