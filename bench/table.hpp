#pragma once
// The bench's result table: summaries of repeated samples, one row per figure.
#include <cstdio>
#include <string>
#include <vector>

struct Summary {
    double min = 0;
    double median = 0;
    double p99 = 0;
    double max = 0;
    int samples = 0;
};
Summary summarize(std::vector<double> values);

// One line of the table. `verdict` says whether the budget is met ("ok", "MISSED") or that
// the figure is only stated ("stated").
struct Row {
    std::string figure;
    std::string unit;
    Summary summary;
    std::string budget;
    std::string verdict;
};
void addRow(const std::string& figure, const std::string& unit, const std::vector<double>& values,
            const std::string& budget, bool withinBudget);
void addStatedRow(const std::string& figure, const std::string& unit,
                  const std::vector<double>& values, const std::string& budget);
// The table in Markdown, to standard output unless told otherwise.
void printTable(std::FILE* out = stdout);
