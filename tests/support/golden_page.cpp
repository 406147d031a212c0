#include "support/golden_page.hpp"

#include <cstdlib>
#include <fstream>
#include <sstream>

testing::AssertionResult matchesPage(const ScreenGrid& page, const std::string& name) {
    const std::string path = std::string(PERVARO_PAGES_DIR) + "/" + name + ".txt";
    std::string shown;
    for (int row = 1; row <= page.rows; ++row) {
        const std::string text = page.rowText(row);
        shown += text.substr(0, text.find_last_not_of(' ') + 1) + "\n";
    }
    if (const char* update = std::getenv("PERVARO_UPDATE_PAGES"); update && *update == '1') {
        std::ofstream(path, std::ios::binary) << shown;
        return testing::AssertionSuccess();
    }
    std::ifstream wanted(path, std::ios::binary);
    const bool found = wanted.is_open();
    // The rows that differ, as the file has them and as the page shows them.
    std::istringstream got(shown);
    std::ostringstream diff;
    for (int row = 1; wanted.good() || got.good(); ++row) {
        std::string want = "(no row)", have = "(no row)";
        std::getline(wanted, want);
        std::getline(got, have);
        if (want != have) {
            diff << "row " << row << "\n  expected |" << want << "|\n  shown    |" << have << "|\n";
        }
    }
    if (found && diff.str().empty()) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << path << (found ? "" : " is missing") << " (PERVARO_UPDATE_PAGES=1 "
           << "writes it):\n"
           << diff.str();
}
