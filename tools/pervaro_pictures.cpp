// Draws pages of the game as SVG pictures, from the virtual terminal.
//   pervaro_pictures OUTPUT_FOLDER         the README's pictures into OUTPUT_FOLDER
//   pervaro_pictures OUTPUT.svg KEY...     the page after those keys (\r is Enter, \e Escape),
//                                          each typed when the game asks
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/page_picture.hpp"

namespace {

std::string unescape(const std::string& key) {
    std::string bytes;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (key[i] == '\\' && i + 1 < key.size() && (key[i + 1] == 'r' || key[i + 1] == 'e')) {
            bytes += key[++i] == 'r' ? '\r' : '\x1b';
        } else {
            bytes += key[i];
        }
    }
    return bytes;
}

bool write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) {
        std::fprintf(stderr, "pervaro_pictures: cannot write %s\n", path.string().c_str());
        return false;
    }
    std::printf("%s\n", path.string().c_str());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: pervaro_pictures OUTPUT_FOLDER | OUTPUT.svg KEY...\n");
        return 2;
    }
    const std::filesystem::path output = std::filesystem::absolute(argv[1]);
    if (argc == 2 && std::filesystem::is_directory(output)) {
        for (const ReadmePicture& picture : readmePictures()) {
            const std::string svg = drawReadmePicture(picture);
            if (svg.empty()) {
                std::fprintf(stderr, "pervaro_pictures: the keys for %s no longer reach its page\n",
                             picture.file);
                return 1;
            }
            if (!write(output / picture.file, svg)) {
                return 1;
            }
        }
        return 0;
    }
    std::vector<std::string> keys;
    for (int i = 2; i < argc; ++i) {
        keys.push_back(unescape(argv[i]));
    }
    return write(output, renderPageSvg(pageAfterKeys(keys), "Pervaro")) ? 0 : 1;
}
