#include "image/depthrange.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace kt {

namespace {

// Bins of the mean depths: far finer than the palette's 255 steps.
constexpr int bins = 4096;

} // namespace

DepthRange viewdepthrange(const HitGrid& grid, double trimmed)
{
    const std::size_t cells = static_cast<std::size_t>(grid.side) * grid.side;
    double low = INFINITY, high = -INFINITY, total = 0;
    for (std::size_t k = 0; k < cells; ++k) {
        if (grid.hits[k] <= 0)
            continue;
        const double mean = grid.depths[k] / grid.hits[k];
        low = std::min(low, mean);
        high = std::max(high, mean);
        total += grid.hits[k];
    }
    if (total == 0)
        return {-0.5, 0.5};
    if (!(high > low))
        return {low - 0.5, low + 0.5};

    std::vector<double> weight(bins, 0.0);
    const double perbin = bins / (high - low);
    const auto binof = [&](double mean) { return std::min(bins - 1, static_cast<int>((mean - low) * perbin)); };
    for (std::size_t k = 0; k < cells; ++k)
        if (grid.hits[k] > 0)
            weight[static_cast<std::size_t>(binof(grid.depths[k] / grid.hits[k]))] += grid.hits[k];
    const double cut = total * trimmed / 2;
    int first = 0, last = bins - 1;
    for (double below = 0; first < bins - 1 && below + weight[first] <= cut; ++first)
        below += weight[first];
    for (double above = 0; last > first && above + weight[last] <= cut; --last)
        above += weight[last];
    return {low + first / perbin, low + (last + 1) / perbin};
}

} // namespace kt
