#pragma once
// The working directory on the virtual disk, emptied and given copies of the shipped map files,
// so that a game finds "map01.txt" and friends; tests write maps of their own with vt::putFile.

struct MapDirectory {
    MapDirectory();
};
