#include "support/golden_page.hpp"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

namespace {

std::string trimmed(std::string row) {
    row.erase(row.find_last_not_of(' ') + 1);
    return row;
}

}  // namespace

testing::AssertionResult matchesPage(const ScreenGrid& page, const std::string& name) {
    const std::string path = std::string(PERVARO_PAGES_DIR) + "/" + name + ".txt";
    std::vector<std::string> actual;
    for (int row = 1; row <= page.rows; ++row) {
        actual.push_back(trimmed(page.rowText(row)));
    }
    const char* update = std::getenv("PERVARO_UPDATE_PAGES");
    if (update != nullptr && std::string(update) == "1") {
        std::ofstream out(path);
        for (const std::string& row : actual) {
            out << row << '\n';
        }
        return out ? testing::AssertionSuccess()
                   : testing::AssertionFailure() << "cannot write " << path;
    }
    std::ifstream in(path);
    if (!in) {
        return testing::AssertionFailure()
               << "no page " << path << " (PERVARO_UPDATE_PAGES=1 writes it)";
    }
    std::vector<std::string> expected;
    for (std::string row; std::getline(in, row);) {
        expected.push_back(row);
    }
    std::ostringstream diff;
    const std::size_t rows = std::max(expected.size(), actual.size());
    for (std::size_t i = 0; i < rows; ++i) {
        const std::string want = i < expected.size() ? expected[i] : "(no row)";
        const std::string got = i < actual.size() ? actual[i] : "(no row)";
        if (want != got) {
            diff << "row " << i + 1 << "\n  expected |" << want << "|\n  shown    |" << got
                 << "|\n";
        }
    }
    if (diff.str().empty()) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "page " << name << " differs from " << path << ":\n"
                                       << diff.str();
}
