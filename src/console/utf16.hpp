#pragma once
// The UTF-16 the Windows API takes, from the game's UTF-8 (Windows builds only).
#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

// Bytes that are not UTF-8 become U+FFFD.
inline std::wstring widen(std::string_view text) {
    std::wstring wide;
    if (text.empty()) {
        return wide;
    }
    const int size = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    if (length > 0) {
        wide.resize(static_cast<std::size_t>(length));
        ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    }
    return wide;
}

}  // namespace platform
