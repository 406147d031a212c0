// The platform's files in a web page: the maps the page was served with, read only, and what
// the game writes, in the browser's own storage (see platform_web.js). There are no folders:
// a path is a name.
#include <emscripten.h>

#include <algorithm>
#include <string>

#include "platform/platform.hpp"

// JavaScript inside: clang-format would break it.
// clang-format off
// A file's size, or -1 when there is none; its bytes then wait for webTakeFile.
EM_ASYNC_JS(double, webReadFile, (const char* path),
            { return await Module.pervaro.readFile(UTF8ToString(path)); });
EM_JS(void, webTakeFile, (char* into, int size), { Module.pervaro.takeFile(into, size); });
// 1 once the bytes are stored for good; 0 when the storage refused them.
EM_ASYNC_JS(int, webReplaceFile, (const char* path, const char* bytes, int size), {
    return await Module.pervaro.replaceFile(UTF8ToString(path), HEAPU8.slice(bytes, bytes + size));
});
EM_JS(int, webHasFile, (const char* path),
      { return Module.pervaro.hasFile(UTF8ToString(path)) ? 1 : 0; });
// clang-format on

namespace platform {

bool readFile(const std::string& path, std::size_t maxBytes, std::string& contents,
              std::string& problem) {
    contents.clear();
    const double size = webReadFile(path.c_str());
    if (size < 0) {
        problem = "No such file or directory";
        return false;
    }
    contents.resize(std::min(static_cast<std::size_t>(size), maxBytes));
    webTakeFile(contents.data(), static_cast<int>(contents.size()));
    return true;
}

bool replaceFile(const std::string& path, std::string_view contents) {
    return webReplaceFile(path.c_str(), contents.data(), static_cast<int>(contents.size())) == 1;
}

std::string executableFolder() {
    return {};
}

std::string userDataFolder() {
    return {};
}

bool isRegularFile(const std::string& path) {
    return webHasFile(path.c_str()) == 1;
}

bool sameFile(const std::string& first, const std::string& second) {
    return first == second && isRegularFile(first);
}

bool makePrivateFolder(const std::string& path, std::string& problem) {
    if (path.empty()) {
        problem = "No such file or directory";
        return false;
    }
    return true;
}

}  // namespace platform
