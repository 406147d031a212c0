#pragma once
// A private working directory holding copies of the shipped map files, so that board tests find
// "map01.txt" and friends wherever ctest runs them, and can write maps of their own.
#include <string>

class MapDirectory {
  public:
    MapDirectory();
    ~MapDirectory();
    MapDirectory(const MapDirectory&) = delete;
    MapDirectory& operator=(const MapDirectory&) = delete;

    // Writes a file into the directory, replacing one of the same name.
    void write(const std::string& name, const std::string& text) const;

  private:
    std::string previous_;
    std::string path_;
};
