// The number input on any keys: it never crashes or hangs, every number it accepts is what the
// line held, and its echo stays on the prompt row, so the page above is never pushed around.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "console/console.hpp"
#include "fuzz_check.hpp"
#include "support/virtual_platform.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vt::Options options;
    options.keepSnapshots = false;
    vt::reset(options);
    vt::type(std::string(reinterpret_cast<const char*>(data), size));
    vt::run([] {
        moveCursor(8, 10);
        printText("page");
        for (int reads = 0; reads < 512; ++reads) {
            moveCursor(1, 40);
            printText("  > ");
            int value = 0;
            readInt(value);
            flushOutput();
            check(vt::textAt(8, 10, 4) == "page");
            check(vt::cursorRow() >= 40);
        }
    });
    return 0;
}
