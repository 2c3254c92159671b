#pragma once
// A batch's spots plotted by bands of the image's rows: each band takes the
// spots that land in it in orbit order, so that every pixel sees its points
// in the order one thread plotting them all would, and different threads can
// plot different bands at once.
#include <atomic>
#include <vector>

#include "engine/spots.h"

namespace kt {

// Some bands hold far more of the attractor than others: several bands a
// thread, taken in turn, keep the threads about equally busy.
constexpr int bandsperthread = 4;

// Plots `count` spots into s, by hit count or, under the depth colouring,
// by depth[i], in bands for `threads` threads. With `viewdepth`, hits also
// add viewdepth[i] to s's depth sums.
class BandPlotting {
public:
    BandPlotting(EngineState& s, const Spot* spots, const real* depth, int count, int threads,
                 const real* viewdepth = nullptr);
    // For any number of threads at once: plots bands until none is left.
    void share();
    // On the creating thread once every share has returned: raises s.hitmax
    // and counts the drawing in s's image.
    void finish();

private:
    EngineState& s_;
    const Spot* spots_;
    const real* depth_;
    const real* viewdepth_;
    int count_;
    // Drawing on an image of another size is clipped to it, which only the
    // surface's own drawing does: then one band plots through the surface.
    bool throughsurface_;
    std::uint32_t* pixels_;
    int bands_;
    std::vector<std::uint32_t> highest_;
    std::atomic<int> next_{0};
};

// One band's share of that: plots the spots that land on rows [top, bottom),
// in order, into s's hit counts (and depth sums, with `viewdepth`) and into
// `pixels` (s's image's, or null).
// Returns the highest level it gave a pixel, 0 when it plotted nothing; it
// leaves s.hitmax to the caller, as other bands may be at work.
std::uint32_t plotband(const EngineState& s, std::uint32_t* pixels, const Spot* spots, const real* depth, int count,
                       int top, int bottom, const real* viewdepth = nullptr);

} // namespace kt
