#pragma once
// Whole parts of extended reals without touching the x87 rounding mode.
#include "engine/enginestate.h"

namespace kt {

// Truncation toward zero of an extended real from 0 up to 2^31. Converting
// it directly switches the x87 rounding mode there and back, which costs more
// than the rest of a pixel's work; the nearest double converts cheaply and is
// off by at most one, upward, when rounding to it crossed a whole number.
inline int truncated(real x)
{
    const int t = static_cast<int>(static_cast<double>(x));
    return static_cast<real>(t) > x ? t - 1 : t;
}

} // namespace kt
