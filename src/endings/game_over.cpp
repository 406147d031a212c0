#include "console/console.hpp"
#include "console/screen.hpp"
#include "endings/endings.hpp"

namespace {

constexpr PlacedText kGameOverLines[] = {
    {24, 5, "Game  Over  ...."},
    {16, 11, "     __      "},
    {16, 12, "   __| |__   "},
    {16, 13, "  |__   __|  "},
    {16, 14, "     | |     "},
    {16, 15, "_____| |_____"},
    {8, 20, "おお、プレイヤーよ!"},
    {8, 22, "ゲームオーバーとは なさけない"},
    {8, 24, "またの挑戦、まっておるぞ !!"},
};

}  // namespace

void gameOverScreen() {
    clearScreen();
    drawFrame();
    printPlaced(kGameOverLines);
}
