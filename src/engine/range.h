#pragma once
// The range routines: the bounds test of a point and the clamp of a typed
// coefficient.
#include <cmath>

#include "engine/enginestate.h"

namespace kt {

// 1 when x or y is above high, below low, or not a number; z is not looked at.
inline int overflow(VOXEL z, real low, real high)
{
    const real ax = fabsl(z.x);
    const real ay = fabsl(z.y);
    return (ax >= low && ax <= high && ay >= low && ay <= high) ? 0 : 1;
}

// Clamps a coefficient to -20..20 and keeps a nonzero value at least 1e-6 away
// from zero.
void limits(double* test);

// The bounds the formulas test against, and the point a render restarts from.
// All are the doubles nearest the decimals, widened.
inline constexpr real testlow = 1e-8;
inline constexpr real testhigh = 1e8;
inline constexpr real renderlow = 1e-16;
inline constexpr real renderhigh = 1e16;
inline constexpr VOXEL restartpoint = {0.0234, 0.12345, 0.1};

} // namespace kt
