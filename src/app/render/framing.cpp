#include "app/render/framing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/formulas.h"
#include "engine/rotation.h"

namespace kt {

namespace {

// Rounded up to four significant digits, and the double nearest that decimal:
// a scale people read in the .dv3 editor and the gallery's records, a little
// larger at most, so the margin stays whole.
double shortdecimal(double value)
{
    const int exponent = static_cast<int>(std::floor(std::log10(value))) - 3;
    const double digits = std::ceil(value / std::pow(10.0, exponent) - 1e-9);
    char text[32];
    std::snprintf(text, sizeof text, "%.0fe%d", digits, exponent);
    return std::strtod(text, nullptr);
}

} // namespace

double fittedscale(const EngineState& set, int width, int height, double margin)
{
    EngineState s(set);
    loadorbit(s, s.icon[s.type]);
    setupimage(s);
    const RotationPlan plan = planrotation(s.rot[s.type], s.rotationorder);
    const bool turned = rotationactive(s.rot[s.type]);

    std::vector<VOXEL> points(batchsteps);
    advanceorbit(s, points.data(), batchsteps);
    real reachx = 0, reachy = 0;
    for (int done = batchsteps; done < fitsteps; done += batchsteps) {
        advanceorbit(s, points.data(), batchsteps);
        for (const VOXEL& point : points) {
            const VOXEL shown = turned ? rotated(point, plan) : point;
            reachx = std::max(reachx, fabsl(shown.x));
            reachy = std::max(reachy, fabsl(shown.y));
        }
    }
    const double side = std::max(width, height);
    const double needed = std::max(static_cast<double>(reachx) * side / width, static_cast<double>(reachy) * side / height);
    if (!(needed > 0) || !std::isfinite(needed))
        return s.icon[s.type].scale;
    return shortdecimal(needed / (1 - 2 * margin));
}

} // namespace kt
