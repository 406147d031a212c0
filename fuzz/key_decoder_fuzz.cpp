// The key decoder on any bytes, told at any point that no more are coming: it always makes
// progress when told so, never reads past the bytes, a cursor key always comes as 0 and one
// of the four codes, and no part of an escape sequence leaks out as a key.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "console/console.hpp"
#include "console/keys.hpp"
#include "fuzz_check.hpp"

namespace {

bool isCursorCode(int code) {
    return code == kKeyUp || code == kKeyDown || code == kKeyLeft || code == kKeyRight;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    // The first byte's bits say, decode by decode, whether the bytes so far are all there are.
    const unsigned pattern = data[0];
    std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    for (unsigned step = 0; !bytes.empty(); ++step) {
        const bool final = ((pattern >> (step % 8)) & 1) != 0 || step >= 8;
        const DecodedKey decoded = decodeKey(bytes, final);
        check(decoded.used <= bytes.size());
        check(decoded.count >= 0 && decoded.count <= 2);
        if (decoded.count == 2) {
            check(decoded.keys[0] == kKeyExtended && isCursorCode(decoded.keys[1]));
        } else if (decoded.count == 1) {
            check(decoded.keys[0] > 0);
        }
        if (bytes[0] == '\x1b' && decoded.count == 1) {
            check(decoded.used == 1 && decoded.keys[0] == kKeyEscape);
        }
        if (decoded.used == 0) {
            check(!final);
            continue;
        }
        bytes.remove_prefix(decoded.used);
    }
    return 0;
}
