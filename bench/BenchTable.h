#pragma once

#include <string>
#include <vector>

namespace kronax::bench {

// A plain-text table: a header row and data rows, printed with every column as wide as its
// widest cell, the first column left-aligned and the others right-aligned.
class BenchTable {
public:
    explicit BenchTable(std::vector<std::string> header);

    // Adds one row; a row shorter than the header is padded with empty cells.
    void AddRow(std::vector<std::string> cells);

    // The table as text, one line per row, a rule under the header.
    std::string Text() const;

private:
    std::vector<std::vector<std::string>> rows_;
};

// value with the given number of decimals.
std::string Fixed(double value, int decimals);

// The smallest, middle, 95th-percentile and largest of a set of samples, and their mean.
struct Spread {
    double min = 0, median = 0, p95 = 0, max = 0, mean = 0;
};

// The spread of samples; all zero when there are none.
Spread SpreadOf(std::vector<double> samples);

} // namespace kronax::bench
