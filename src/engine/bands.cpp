#include "engine/bands.h"

#include <algorithm>

#include "base/surface.h"
#include "engine/plot.h"

namespace kt {

namespace {

template <bool Hits, bool Sums = false>
std::uint32_t plotrows(const EngineState& s, std::uint32_t* pixels, const Spot* spots, const real* depth, int count,
                       int top, int bottom, const real* viewdepth = nullptr)
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
            if constexpr (Sums)
                adddepth(s.depthsum.get(), pixel, viewdepth[i]);
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
                       int top, int bottom, const real* viewdepth)
{
    if (s.cmethod != 0)
        return plotrows<false>(s, pixels, spots, depth, count, top, bottom);
    return viewdepth ? plotrows<true, true>(s, pixels, spots, depth, count, top, bottom, viewdepth)
                     : plotrows<true>(s, pixels, spots, depth, count, top, bottom);
}

BandPlotting::BandPlotting(EngineState& s, const Spot* spots, const real* depth, int count, int threads,
                           const real* viewdepth)
    : s_(s), spots_(spots), depth_(depth), viewdepth_(s.cmethod == 0 ? viewdepth : nullptr), count_(count),
      throughsurface_(s.g_vhdc && (s.g_vhdc->width() != s.res || s.g_vhdc->height() != s.res)),
      pixels_(s.g_vhdc && !throughsurface_ ? s.g_vhdc->drawablebits() : nullptr),
      bands_(threads <= 1 || throughsurface_ ? 1 : std::min(s.res, threads * bandsperthread)),
      highest_(static_cast<std::size_t>(bands_), 0)
{
}

void BandPlotting::share()
{
    for (int band = next_.fetch_add(1); band < bands_; band = next_.fetch_add(1)) {
        if (throughsurface_) {
            for (int i = 0; i < count_; ++i) {
                if (spots_[i].column < 0)
                    continue;
                if (viewdepth_)
                    plothitdepth(s_, spots_[i].column, spots_[i].row, viewdepth_[i]);
                else
                    plotpoint(s_, spots_[i].column, spots_[i].row, s_.cmethod == 0 ? 0 : depth_[i]);
            }
            continue;
        }
        const int top = static_cast<int>(static_cast<long long>(s_.res) * band / bands_);
        const int bottom = static_cast<int>(static_cast<long long>(s_.res) * (band + 1) / bands_);
        highest_[static_cast<std::size_t>(band)] = plotband(s_, pixels_, spots_, depth_, count_, top, bottom,
                                                            viewdepth_);
    }
}

void BandPlotting::finish()
{
    const std::uint32_t most = *std::max_element(highest_.begin(), highest_.end());
    s_.hitmax = std::max(s_.hitmax, most);
    if (pixels_ && most > 0)
        s_.g_vhdc->markdrawn();
}

} // namespace kt
