#include "engine/bands.h"

#include <algorithm>
#include <atomic>
#include <vector>

#include "base/surface.h"
#include "engine/plot.h"
#include "engine/workers.h"

namespace kt {

namespace {

// As far ahead as the flat plotting fetches, for the same reason.
constexpr int fetchahead = 16;

template <bool Hits>
std::uint32_t plotrows(const EngineState& s, std::uint32_t* pixels, const Spot* spots, const real* depth, int count,
                       int top, int bottom)
{
    const auto inband = [&](const Spot& spot) { return spot.column >= 0 && spot.row >= top && spot.row < bottom; };
    for (int i = 0; i < fetchahead && i < count; ++i)
        if (inband(spots[i]))
            fetchspot(s, pixels, spots[i]);
    float* hitcount = s.hitcount.get();
    std::uint32_t highest = 0;
    for (int i = 0; i < count; ++i) {
        if (i + fetchahead < count && inband(spots[i + fetchahead]))
            fetchspot(s, pixels, spots[i + fetchahead]);
        const Spot& spot = spots[i];
        if (!inband(spot))
            continue;
        const std::size_t pixel = static_cast<std::size_t>(spot.row) * s.res + spot.column;
        COLORREF colour;
        if constexpr (Hits) {
            const std::uint32_t hits = counthit(hitcount[pixel]);
            highest = std::max(highest, hits);
            colour = hitcolour(s.palette, hits);
        } else {
            DepthLevel level;
            if (!raisedepth(hitcount[pixel], depth[i], level))
                continue;
            highest = std::max(highest, level.cindex);
            colour = depthcolour(s.palette, level);
        }
        if (pixels)
            pixels[pixel] = Surface::toNative(colour);
    }
    return highest;
}

} // namespace

std::uint32_t plotband(const EngineState& s, std::uint32_t* pixels, const Spot* spots, const real* depth, int count,
                       int top, int bottom)
{
    return s.cmethod == 0 ? plotrows<true>(s, pixels, spots, depth, count, top, bottom)
                          : plotrows<false>(s, pixels, spots, depth, count, top, bottom);
}

void plotinbands(EngineState& s, const Spot* spots, const real* depth, int count)
{
    Surface* image = s.g_vhdc;
    if (image && (image->width() != s.res || image->height() != s.res)) {
        // Drawing on an image of another size is clipped to it, which only
        // the surface's own drawing does.
        for (int i = 0; i < count; ++i)
            if (spots[i].column >= 0)
                plotpoint(s, spots[i].column, spots[i].row, s.cmethod == 0 ? 0 : depth[i]);
        return;
    }
    std::uint32_t* pixels = image ? image->drawablebits() : nullptr;
    const int threads = withinjob() ? 1 : workerthreads();
    const int bands = threads == 1 ? 1 : std::min(s.res, threads * bandsperthread);
    std::vector<std::uint32_t> highest(static_cast<std::size_t>(bands), 0);
    std::atomic<int> next{0};
    runonworkers([&](int) {
        for (int band = next.fetch_add(1); band < bands; band = next.fetch_add(1)) {
            const int top = static_cast<int>(static_cast<long long>(s.res) * band / bands);
            const int bottom = static_cast<int>(static_cast<long long>(s.res) * (band + 1) / bands);
            highest[static_cast<std::size_t>(band)] = plotband(s, pixels, spots, depth, count, top, bottom);
        }
    });
    const std::uint32_t most = *std::max_element(highest.begin(), highest.end());
    s.hitmax = std::max(s.hitmax, most);
    if (image && most > 0)
        image->markdrawn();
}

} // namespace kt
