#pragma once
// Runs an item screen (the inventory, the shop) to its return, as the menus do.
#include <gtest/gtest.h>

#include <functional>

#include "state/item_table.hpp"
#include "support/virtual_platform.hpp"

// Returns what the screen hands back; the scripted input must last, and no item may keep the
// list number it had on screen.
inline int runItemScreen(const std::function<int()>& screen) {
    int result = 99;
    EXPECT_EQ(vt::run([&] { result = screen(); }), -1);
    EXPECT_FALSE(vt::inputExhausted());
    for (const ItemRecord& item : itemTable) {
        EXPECT_EQ(item.listNumber, 0) << item.name;
    }
    return result;
}
