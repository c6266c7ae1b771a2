#include "bench/BenchTable.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

namespace kronax::bench {

BenchTable::BenchTable(std::vector<std::string> header) {
    rows_.push_back(std::move(header));
}

void BenchTable::AddRow(std::vector<std::string> cells) {
    cells.resize(std::max(cells.size(), rows_.front().size()));
    rows_.push_back(std::move(cells));
}

std::string BenchTable::Text() const {
    std::vector<std::size_t> widths(rows_.front().size(), 0);
    for (const auto& row : rows_)
        for (std::size_t i = 0; i < row.size() && i < widths.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    std::string text;
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        for (std::size_t i = 0; i < widths.size(); ++i) {
            const std::string& cell = rows_[r][i];
            const std::string pad(widths[i] - cell.size(), ' ');
            text += i == 0 ? cell + pad : "  " + pad + cell;
        }
        text += '\n';
        if (r == 0)
            text += std::string(std::accumulate(widths.begin(), widths.end(), std::size_t{0}) +
                                    2 * (widths.size() - 1),
                                '-') +
                    '\n';
    }
    return text;
}

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

Spread SpreadOf(std::vector<double> samples) {
    if (samples.empty())
        return {};
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double fraction) {
        return samples[static_cast<std::size_t>(fraction *
                                                static_cast<double>(samples.size() - 1))];
    };
    const double sum = std::accumulate(samples.begin(), samples.end(), 0.0);
    return {samples.front(), at(0.5), at(0.95), samples.back(),
            sum / static_cast<double>(samples.size())};
}

} // namespace kronax::bench
