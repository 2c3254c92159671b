#include "app/render/framing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>
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

// The orbit's largest reach across and down the frame, as `reach` measures a
// point, over the steps the fit looks at.
template <typename Reach>
void orbitreach(const EngineState& set, const Reach& reach, real* across, real* down)
{
    EngineState s(set);
    loadorbit(s, s.icon[s.type]);
    setupimage(s);
    std::vector<VOXEL> points(batchsteps);
    advanceorbit(s, points.data(), batchsteps);
    *across = *down = 0;
    for (int done = batchsteps; done < fitsteps; done += batchsteps) {
        advanceorbit(s, points.data(), batchsteps);
        for (const VOXEL& point : points) {
            const auto [x, y] = reach(point);
            *across = std::max(*across, x);
            *down = std::max(*down, y);
        }
    }
}

double scalefor(real across, real down, const EngineState& set, int width, int height, double margin)
{
    const double side = std::max(width, height);
    const double needed = std::max(static_cast<double>(across) * side / width,
                                   static_cast<double>(down) * side / height);
    if (!(needed > 0) || !std::isfinite(needed))
        return set.icon[set.type].scale;
    return shortdecimal(needed / (1 - 2 * margin));
}

} // namespace

double fittedscale(const EngineState& set, int width, int height, double margin)
{
    const RotationPlan plan = planrotation(set.rot[set.type], set.rotationorder);
    const bool turned = rotationactive(set.rot[set.type]);
    real across = 0, down = 0;
    orbitreach(
        set,
        [&](const VOXEL& point) {
            const VOXEL shown = turned ? rotated(point, plan) : point;
            return std::pair<real, real>(fabsl(shown.x), fabsl(shown.y));
        },
        &across, &down);
    return scalefor(across, down, set, width, height, margin);
}

double fittedscaleanyturn(const EngineState& set, int width, int height, double margin)
{
    real across = 0, down = 0;
    orbitreach(
        set,
        [](const VOXEL& point) {
            const real radius = sqrtl(point.x * point.x + point.y * point.y + point.z * point.z);
            return std::pair<real, real>(radius, radius);
        },
        &across, &down);
    return scalefor(across, down, set, width, height, margin);
}

} // namespace kt
