#pragma once
// The working directory on the virtual disk, emptied and given copies of the shipped map files,
// so that board tests find "map01.txt" and friends and can write maps of their own. Emptied
// again when it goes.
#include <string>

class MapDirectory {
  public:
    MapDirectory();
    ~MapDirectory();
    MapDirectory(const MapDirectory&) = delete;
    MapDirectory& operator=(const MapDirectory&) = delete;

    // Writes a file into the directory, replacing one of the same name.
    void write(const std::string& name, const std::string& text) const;
};
