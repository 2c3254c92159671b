#pragma once
// An unrotated batch made in two passes: the orbit first, then the plotting
// of where its points land, in orbit order. Apart from the arithmetic, the
// plotting can fetch the hit counts and pixels of the spots a few ahead
// instead of waiting on each in turn (on a large image each is a cache miss),
// and it can run on a second thread while the orbit makes the next batch.
#include <cstdint>

#include "engine/enginestate.h"
#include "engine/truncation.h"

namespace kt {

// The pixel a point lands on; column -1 when it misses the image.
struct Spot {
    int column;
    int row;
};

// How render-mode points map onto the image.
struct Projection {
    real scale;
    real resolution;
    real denom;
};

// Where a render-mode point lands on the image.
[[gnu::always_inline]] inline Spot spotof(real x, real y, const Projection& onto)
{
    const real xplot = (x + onto.scale) * onto.resolution / onto.denom;
    const real yplot = (y + onto.scale) * onto.resolution / onto.denom;
    if (!(xplot > -1 && xplot < onto.resolution && yplot > -1 && yplot < onto.resolution))
        return {-1, 0};
    // Truncation toward zero keeps (-1, 0) on row or column 0.
    return {xplot < 0 ? 0 : truncated(xplot), yplot < 0 ? 0 : truncated(yplot)};
}

struct SpotBatch {
    Spot spot[batchsteps];
    real depth[batchsteps]; // filled only when the colouring reads it
};

// How many spots ahead of the one plotted to fetch: far enough for a cache
// miss to be served while the spots before it are plotted, near enough that
// the fetched lines are still there.
constexpr int fetchahead = 16;

// Asks for the hit count and pixel a spot will touch, so that they are in
// cache by the time it is plotted.
[[gnu::always_inline]] inline void fetchspot(const EngineState& s, const std::uint32_t* pixels, const Spot& spot)
{
    if (spot.column < 0)
        return;
    const std::size_t pixel = static_cast<std::size_t>(spot.row) * s.res + spot.column;
    __builtin_prefetch(s.hitcount.get() + pixel, 1);
    if (pixels)
        __builtin_prefetch(pixels + pixel, 1);
}

// Plots b's spots in order into s: by hit count when `hits`, else by
// b.depth.
void plotspots(EngineState& s, const SpotBatch& b, bool hits);

// Plots a batch of render-mode points in order into s, each where `onto`
// lands it: by hit count when `hits`, else by the point's depth.
void plotpoints(EngineState& s, const VOXEL* points, const Projection& onto, bool hits);

} // namespace kt
