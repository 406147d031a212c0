#pragma once
// Between the game's UTF-8 and the UTF-16 the Windows API takes (Windows builds only).
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

// A path the way the game handles paths: UTF-8 with '/' between folders.
inline std::string gamePath(std::wstring_view path) {
    std::string text;
    if (path.empty()) {
        return text;
    }
    const int size = static_cast<int>(path.size());
    const int length =
        ::WideCharToMultiByte(CP_UTF8, 0, path.data(), size, nullptr, 0, nullptr, nullptr);
    if (length > 0) {
        text.resize(static_cast<std::size_t>(length));
        ::WideCharToMultiByte(CP_UTF8, 0, path.data(), size, text.data(), length, nullptr, nullptr);
    }
    for (char& c : text) {
        if (c == '\\') {
            c = '/';
        }
    }
    return text;
}

}  // namespace platform
