#include "engine/range.h"

namespace kt {

void limits(double* test)
{
    double v = *test;
    // Unreadable input (NaN) counts as the lowest, as in every other field.
    if (!(v >= -20))
        v = -20;
    if (v > 20)
        v = 20;
    if (-1e-6 < v && v < 0)
        v = -1e-6;
    if (0 < v && v < 1e-6)
        v = 1e-6;
    *test = v;
}

} // namespace kt
