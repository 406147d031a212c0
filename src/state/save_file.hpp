#pragma once
// The one save slot, "save.bin" in the working directory.
void saveGame();
void loadGame();
