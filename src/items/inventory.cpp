#include "items/items.hpp"

// Placeholder until the items land.
int inventoryScreen(UseContext) {
    return 0;
}
