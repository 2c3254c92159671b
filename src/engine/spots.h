#pragma once
// An unrotated batch made in two passes: the orbit first, writing where each
// point lands, then the plotting of those spots in orbit order. Apart from the
// arithmetic, the plotting can fetch the hit counts and pixels of the spots a
// few ahead instead of waiting on each in turn (on a large image each is a
// cache miss), and it can run on a second thread while the orbit goes on.
#include <atomic>
#include <cstdint>
#include <functional>

#include "engine/enginestate.h"

namespace kt {

// The pixel a point lands on; column -1 when it misses the image.
struct Spot {
    int column;
    int row;
};

struct SpotBatch {
    Spot spot[batchsteps];
    real depth[batchsteps]; // filled only when the colouring reads it
    // How many spots are written; the orbit raises it every few steps.
    std::atomic<int> made{0};
};

// The pixels of s's image, for fetching ahead: null when the image's size is
// not the one the spots are for.
const std::uint32_t* fetchablepixels(const EngineState& s);

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

// How often the orbit publishes its progress to a plotting thread.
constexpr int spotsperrelease = 64;

// Runs `makespots`, which fills b in orbit order and raises b.made, and plots
// b's spots in order into s (by hit count when `hits`, else by b.depth). With
// `parallel`, a second worker thread plots while the orbit runs, when one is
// free; otherwise this thread plots after the orbit. Returns when every spot
// is plotted.
void makeandplotspots(EngineState& s, SpotBatch& b, bool hits, bool parallel, const std::function<void()>& makespots);

} // namespace kt
