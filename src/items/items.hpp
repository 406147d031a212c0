#pragma once
// Item use and the shop.
#include "state/item_table.hpp"

enum class UseContext : int { MainMenu = 0, StageTurn = 1, BossBattle = 3 };

// Applies an item's effect; in the boss battle the heals report their amount (-1 = full).
int applyItemEffect(int effectKind, UseContext context);
// Lists the owned usable items and uses them until 0 is chosen; returns the last effect's
// result (always 0 from the main menu).
int inventoryScreen(UseContext context);
int shopScreen();

// One row of an item list, as the inventory and the shop print it: "%2d." at column 8, the name
// at 12, the price ("%5d") at 40 when asked for, the owned count at 48 when asked for.
void printItemRow(int number, const ItemRecord& item, bool withPrice, bool withCount);
