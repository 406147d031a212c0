// The key decoder on any bytes, split into presses at any moments: it never crashes or hangs,
// a cursor key always comes as 0 and one of the four codes, and no part of an escape sequence
// leaks out as a key.
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
    // The first byte of each piece says when it arrives; the rest is what the terminal sends.
    std::int64_t at = 0;
    for (std::size_t i = 0; i < size;) {
        const std::size_t length = 1 + data[i] % 8;
        at += data[i] / 8;
        const std::size_t begin = i + 1;
        const std::size_t end = begin + length < size ? begin + length : size;
        if (begin < end) {
            vt::typeAt(at, std::string(reinterpret_cast<const char*>(data + begin), end - begin));
        }
        i = end;
    }
    vt::run([] {
        for (int reads = 0; reads < 4096; ++reads) {
            if (reads % 3 == 0) {
                keyPending();
            }
            const int key = readKey();
            check(key >= 0);
            if (key == kKeyExtended) {
                const int code = readKey();
                check(code == kKeyUp || code == kKeyDown || code == kKeyLeft || code == kKeyRight);
            }
        }
    });
    return 0;
}
