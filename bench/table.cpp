#include "table.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string_view>

namespace {

std::vector<Row> rows;

}  // namespace

Summary summarize(std::vector<double> values) {
    Summary s;
    if (values.empty()) {
        return s;
    }
    std::sort(values.begin(), values.end());
    const auto rank = [&](double fraction) {
        const auto at = static_cast<std::size_t>(std::ceil(fraction * values.size()));
        return values[std::min(values.size() - 1, at == 0 ? 0 : at - 1)];
    };
    s.min = values.front();
    s.median = rank(0.5);
    s.p99 = rank(0.99);
    s.max = values.back();
    s.samples = static_cast<int>(values.size());
    return s;
}

void addRow(const std::string& figure, const std::string& unit, const std::vector<double>& values,
            const std::string& budget, bool withinBudget) {
    rows.push_back({figure, unit, summarize(values), budget, withinBudget ? "ok" : "MISSED"});
}

void addStatedRow(const std::string& figure, const std::string& unit,
                  const std::vector<double>& values, const std::string& budget) {
    rows.push_back({figure, unit, summarize(values), budget, "stated"});
}

namespace {

std::string number(double value) {
    char text[32];
    if (value != 0 && std::fabs(value) < 0.01) {
        std::snprintf(text, sizeof text, "%.4f", value);
    } else if (std::fabs(value) < 100 && value != std::floor(value)) {
        std::snprintf(text, sizeof text, "%.3f", value);
    } else {
        std::snprintf(text, sizeof text, "%.0f", value);
    }
    return text;
}

}  // namespace

void printTable(std::FILE* out) {
    std::fprintf(out, "\n| figure | unit | min | median | p99 | max | n | budget | |\n");
    std::fprintf(out, "|---|---|--:|--:|--:|--:|--:|---|---|\n");
    for (const Row& row : rows) {
        const Summary& s = row.summary;
        std::fprintf(out, "| %s | %s | %s | %s | %s | %s | %d | %s | %s |\n", row.figure.c_str(),
                     row.unit.c_str(), number(s.min).c_str(), number(s.median).c_str(),
                     number(s.p99).c_str(), number(s.max).c_str(), s.samples, row.budget.c_str(),
                     row.verdict.c_str());
    }
    std::fflush(out);
}

namespace {

// Whether the name is one of the parts, "timers|keys|...".
bool isPart(std::string_view parts, std::string_view name) {
    for (std::size_t start = 0; start <= parts.size();) {
        const std::size_t end = std::min(parts.find('|', start), parts.size());
        if (parts.substr(start, end - start) == name) {
            return true;
        }
        start = end + 1;
    }
    return false;
}

}  // namespace

bool readBenchCommand(int argc, char** argv, const std::string& parts, Repetitions& reps,
                      std::string& only) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0) {
            reps = {true, 1, 50, 1, 1, 1, 3};
        } else if (std::strcmp(argv[i], "--only") == 0 && i + 1 < argc &&
                   isPart(parts, argv[i + 1])) {
            only = argv[++i];
        } else {
            std::fprintf(stderr, "usage: %s [--quick] [--only %s]\n", argv[0], parts.c_str());
            return false;
        }
    }
    return true;
}

bool measuring(const std::string& only, const char* part) {
    const bool measured = only.empty() || only == part;
    if (measured) {
        std::fprintf(stderr, "measuring %s...\n", part);
    }
    return measured;
}

void measureGame(const char* name, double (*play)(), int runs) {
    std::vector<double> shares;
    for (int run = 0; run < runs; ++run) {
        const double share = play();
        if (share >= 0) {
            shares.push_back(share);
        }
    }
    addStatedRow(std::string("CPU during ") + name, "% of a core", shares,
                 "a small fraction; a busy loop is 100%");
}
