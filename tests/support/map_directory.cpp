#include "support/map_directory.hpp"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

MapDirectory::MapDirectory() : previous_(fs::current_path().string()) {
    std::string pattern = (fs::temp_directory_path() / "pervaro-maps-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary directory");
    }
    path_ = pattern;
    for (const auto& entry : fs::directory_iterator(PERVARO_DATA_DIR)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("map", 0) == 0 && entry.path().extension() == ".txt") {
            fs::copy_file(entry.path(), fs::path(path_) / name);
        }
    }
    fs::current_path(path_);
}

MapDirectory::~MapDirectory() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
    fs::remove_all(path_, ignored);
}

void MapDirectory::write(const std::string& name, const std::string& text) const {
    std::ofstream out(fs::path(path_) / name, std::ios::binary | std::ios::trunc);
    out << text;
}
