#pragma once
// Whole pages as data: a page is compared with tests/pages/<name>.txt, its rows as the virtual
// terminal shows them (two-column characters once, trailing blanks dropped). A failure lists
// the rows that differ. PERVARO_UPDATE_PAGES=1 writes the files instead, for a page that was
// meant to change: read the new file before committing it.
#include <gtest/gtest.h>

#include <string>

#include "console/screen_grid.hpp"

testing::AssertionResult matchesPage(const ScreenGrid& page, const std::string& name);

#define EXPECT_PAGE(page, name) EXPECT_TRUE(matchesPage((page), (name)))
