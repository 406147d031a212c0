#pragma once
// Checks on what the virtual terminal shows, and the entries that lead there.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/text_width.hpp"
#include "support/virtual_platform.hpp"

// The text stands at (column, row), as many columns wide as the text itself.
#define EXPECT_TEXT_AT(column, row, text) \
    EXPECT_EQ(vt::textAt((column), (row), textColumns(text)), std::string(text))

// The same on a page as it stood at one of the key waits (vt::snapshots()).
#define EXPECT_SNAPSHOT_TEXT_AT(snapshot, column, row, text) \
    EXPECT_EQ((snapshot).textAt((column), (row), textColumns(text)), std::string(text))

// The indices of the snapshots (pages at key waits) that show the text at (column, row).
inline std::vector<std::size_t> snapshotsShowing(int column, int row, const std::string& text) {
    std::vector<std::size_t> found;
    for (std::size_t i = 0; i < vt::snapshots().size(); ++i) {
        if (vt::snapshots()[i].textAt(column, row, textColumns(text)) == text) {
            found.push_back(i);
        }
    }
    return found;
}

// Types number entries, each when asked; "k" stands for one key press (a key wait).
inline void typeEntries(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        entry == "k" ? vt::type("k") : vt::typeLines({entry});
    }
}
