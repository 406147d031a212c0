#include "support/map_directory.hpp"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "support/virtual_platform.hpp"

// Every file of the data folder: the shipped maps.
MapDirectory::MapDirectory() {
    vt::removeAllFiles();
    for (const auto& entry : std::filesystem::directory_iterator(PERVARO_DATA_DIR)) {
        std::ifstream in(entry.path(), std::ios::binary);
        vt::putFile(entry.path().filename().string(), {std::istreambuf_iterator<char>(in), {}});
    }
}
