#include "items/items.hpp"

// Placeholder until the items land.
int shopScreen() {
    return 0;
}
