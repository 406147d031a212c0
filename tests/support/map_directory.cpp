#include "support/map_directory.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/virtual_platform.hpp"

namespace fs = std::filesystem;

MapDirectory::MapDirectory() {
    vt::removeAllFiles();
    for (const auto& entry : fs::directory_iterator(PERVARO_DATA_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("map", 0) == 0 && entry.path().extension() == ".txt") {
            std::ifstream in(entry.path(), std::ios::binary);
            write(name, std::string(std::istreambuf_iterator<char>(in), {}));
        }
    }
}

MapDirectory::~MapDirectory() {
    vt::removeAllFiles();
}

void MapDirectory::write(const std::string& name, const std::string& text) const {
    vt::putFile(name, text);
}
