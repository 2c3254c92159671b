#pragma once
// A batch's spots plotted by bands of the image's rows: each band takes the
// spots that land in it in orbit order, so that every pixel sees its points
// in the order one thread plotting them all would, and different threads can
// plot different bands at once.
#include "engine/spots.h"

namespace kt {

// Some bands hold far more of the attractor than others: several bands a
// thread, taken in turn, keep the threads about equally busy.
constexpr int bandsperthread = 4;

// Plots `count` spots into s, by hit count or, under the depth colouring,
// by depth[i]; with more than one worker thread the bands are shared among
// them. Returns when every spot is plotted.
void plotinbands(EngineState& s, const Spot* spots, const real* depth, int count);

// One band's share of that: plots the spots that land on rows [top, bottom),
// in order, into s's hit counts and into `pixels` (s's image's, or null).
// Returns the highest level it gave a pixel, 0 when it plotted nothing; it
// leaves s.hitmax to the caller, as other bands may be at work.
std::uint32_t plotband(const EngineState& s, std::uint32_t* pixels, const Spot* spots, const real* depth, int count,
                       int top, int bottom);

} // namespace kt
