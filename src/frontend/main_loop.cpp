#include "frontend/main_loop.hpp"

#include "console/console.hpp"
#include "frontend/frontend.hpp"
#include "state/game_files.hpp"
#include "state/player_state.hpp"

void runGame() {
    applyNewGameDefaults();
    useGameFiles(findGameFiles());
    prepareGameFolder();
    initConsole();
    showStartupHint();
    for (;;) {
        showCreditPages();
        if (titleMenu() == 0) {
            showClosingLines();
            endProgram(0);
        }
        mainMenu();
    }
}
