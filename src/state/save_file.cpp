#include "state/save_file.hpp"

// Placeholders until the save slot lands.
void saveGame() {}
void loadGame() {}
