#include "engine/spots.h"

#include <utility>

#include "engine/plot.h"

namespace kt {

namespace {

template <bool Hits>
void plotall(EngineState& s, const SpotBatch& b, const std::uint32_t* pixels)
{
    for (int i = 0; i < fetchahead; ++i)
        fetchspot(s, pixels, b.spot[i]);
    for (int i = 0; i < batchsteps; ++i) {
        if (i + fetchahead < batchsteps)
            fetchspot(s, pixels, b.spot[i + fetchahead]);
        const Spot& spot = b.spot[i];
        if (spot.column < 0)
            continue;
        if constexpr (Hits)
            plothits(s, spot.column, spot.row);
        else
            plotpoint(s, spot.column, spot.row, b.depth[i]);
    }
}

// The pixels of s's image, for fetching ahead: null when the image's size is
// not the one the spots are for.
const std::uint32_t* fetchablepixels(const EngineState& s)
{
    const Surface* image = s.g_vhdc;
    return image && image->width() == s.res && image->height() == s.res ? std::as_const(*image).bits() : nullptr;
}

} // namespace

void plotspots(EngineState& s, const SpotBatch& b, bool hits)
{
    const std::uint32_t* pixels = fetchablepixels(s);
    hits ? plotall<true>(s, b, pixels) : plotall<false>(s, b, pixels);
}

void plotpoints(EngineState& s, const VOXEL* points, const Projection& onto, bool hits)
{
    SpotBatch b;
    for (int i = 0; i < batchsteps; ++i)
        b.spot[i] = spotof(points[i].x, points[i].y, onto);
    if (!hits)
        for (int i = 0; i < batchsteps; ++i)
            b.depth[i] = points[i].z;
    plotspots(s, b, hits);
}

} // namespace kt
