#pragma once
// Checks on what the virtual terminal shows.
#include <gtest/gtest.h>

#include <string>

#include "console/text_width.hpp"
#include "support/virtual_platform.hpp"

// The text stands at (column, row), as many columns wide as the text itself.
#define EXPECT_TEXT_AT(column, row, text) \
    EXPECT_EQ(vt::textAt((column), (row), textColumns(text)), std::string(text))

// The same on a page as it stood at one of the key waits (vt::snapshots()).
#define EXPECT_SNAPSHOT_TEXT_AT(snapshot, column, row, text) \
    EXPECT_EQ((snapshot).textAt((column), (row), textColumns(text)), std::string(text))
