#pragma once
// The depth range a depth-toned picture spreads its palette over.
#include "image/tonemap.h"

namespace kt {

struct DepthRange {
    double nearest;  // the palette's first painted entry
    double farthest; // its last
};

// The mean depths of the grid's pixels between which all but `trimmed` of
// its hits lie, half of that share at either end: a few stray points far in
// front or behind would otherwise squeeze the icon's own depths into a few
// colours. An empty or flat grid gives a range of width 1 about its depth.
DepthRange viewdepthrange(const HitGrid& grid, double trimmed = 0.02);

} // namespace kt
