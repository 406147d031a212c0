#include "frontend/main_loop.hpp"

int main() {
    runGame();
}
