#pragma once
// Where the game's files are. A working folder that holds map01.txt keeps the maps and
// save.bin, as it always has (a build folder, a player's own copy of the game). Anywhere else
// the player's game folder keeps save.bin and any map the player put there, and the other maps
// are the installed ones. Nothing is ever written among the installed maps.
#include <string>

struct GameFiles {
    bool inWorkingFolder = true;  // maps and save.bin in the working folder, by bare name
    std::string userFolder;       // the player's game folder; empty when the machine names none
    std::string installedFolder;  // the installed maps; empty when the executable is not found
};

// The installed maps' folder for an executable in executableFolder; empty for an empty one.
std::string installedMapFolder(const std::string& executableFolder);
// The player's game folder inside the user's data folder; empty for an empty one.
std::string userGameFolder(const std::string& userDataFolder);

// Asks the machine where the files are; creates nothing.
GameFiles findGameFiles();

// The files the game uses from now on. Until this is called: the working folder.
void useGameFiles(const GameFiles& files);
const GameFiles& gameFiles();

// Start-up: outside the working folder the player's game folder is made (private), so the
// player finds it to put maps in. A failure shows when saving.
void prepareGameFolder();

// The path to read a map from ("map01.txt" and so on): the working folder's; else the
// player's own copy when there is one, else the installed one.
std::string mapFilePath(const std::string& name);

// Where save.bin is; empty when there is no folder for it.
std::string saveFilePath();
// Makes sure the save's folder is there; false when it cannot be made, with the reason (empty
// when this user has no data folder at all).
bool makeSaveFolder(std::string& problem);
