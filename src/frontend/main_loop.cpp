#include "frontend/main_loop.hpp"

#include "console/console.hpp"

// Placeholder while the menus are written.
void runGame() {
    initConsole();
    endProgram(0);
}
