#pragma once
// The one save slot, "save.bin" where game_files.hpp says.
void saveGame();
void loadGame();
